#pragma once
// Services of the data-point classes bound at start-up: the graph tool's use of a data
// point and the conversion between the two data-point kinds on paste.
#include <cstdint>
#include <memory>

#include "model/ModelServices.h"

// Whether the graph tool uses a data point. The graph tool does not exist here.
class IDataPointUse {
 public:
  static constexpr const char* kServiceName = "data-point use";
  virtual ~IDataPointUse() = default;
  virtual bool IsUsedByTavGraph(std::uint32_t) { return false; }
};

class CDataPointConversion : public hv::IDataPointConversion {
 public:
  std::unique_ptr<CProjectObject> Convert(CProjectObject& object, CProjectObject& target) override;
};
