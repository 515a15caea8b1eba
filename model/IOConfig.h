#pragma once
// "I/O Konfiguration": the project device's own data points below its data-point
// folder, and the reader of a hardware type's I/O configuration (CDevCfg).
#include <cstdint>
#include <memory>

#include "model/ProjectObject.h"
#include "platform/DeviceConfig.h"

class CPOIOConfig : public CProjectObject {
  HV_DECLARE_PROJECT_OBJECT(CPOIOConfig)

 public:
  CPOIOConfig();
  CPOIOConfig(CProjectObject* parent, CPOPrjDevice* device);

  TypeCode GetTypeCode() override { return TypeCode::IOConfig; }
  int GetImage() override { return 4; }
  int GetSelectedImage() override { return 5; }
  int GetContextMenuId() override { return 470; }
  BOOL KeepWhenEmpty() override { return FALSE; }
  BOOL IsShownInTree() override { return TRUE; }
  // Own data points, or else any network of the device.
  BOOL HasTreeChildren() override;
  BOOL HasListChildren() override { return HasTreeChildren(); }
  BOOL LoadChildren() override;
  BOOL CreateNew(CProjectObject* parent, CPOPrjDevice* device, const CProjectObject* templ) override;
  BOOL IsStale() override;
  wxString GetListCaption() override;

  HV_DECLARE_COMMAND_MAP()

 private:

  std::int64_t m_loadTime = 0;   // DATPKT.DBF's write time at the last load
};

class CDevCfg {
 public:
  virtual ~CDevCfg() = default;
  // A name holding a path separator is the configuration's folder itself; firmware in
  // hundredths (152 is 1.52).
  BOOL Load(const wxString& hardware, const wxString& variant, int firmware);
  WORD GetIOCount(const wxString& kind) const;
  bool GetDisplayValues(int& first, int& second) const;
  BOOL GetEntryText(const wxString& key, wxString& text) const;
  BOOL HasVersionName(const wxString& name) const;
  BOOL HasVariantName(const wxString& name) const;
  // The display the configuration describes (a remote panel's when one is named and has
  // one); none when there is no display.
  const std::optional<hv::DisplayConfig>& GetDisplay() const { return m_display; }

 private:
  std::unique_ptr<hv::DeviceConfig> m_config;
  std::optional<hv::DisplayConfig> m_display;
  std::optional<hv::IOConfig> m_io;
};
