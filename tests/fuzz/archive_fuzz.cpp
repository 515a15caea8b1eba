// Feeds untrusted bytes (as they could come from the clipboard) to the archive's text
// reader and to the archived-object reader. Whatever is read must survive being
// written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/ObjectFactory.h"
#include "platform/Archive.h"

namespace {

class FuzzObject : public CProjectObject {
 public:
  explicit FuzzObject(bool wide) : m_wide(wide) {}
  const char* ClassName() const override { return m_wide ? "CPOFuzzWide" : "CPOFuzzNarrow"; }
  BOOL IsUnicodeName() override { return m_wide ? TRUE : FALSE; }

 private:
  bool m_wide;
};

void RegisterClasses() {
  static const bool done = [] {
    CObjectFactory::RegisterClass("CPOFuzzWide", [] { return std::unique_ptr<CProjectObject>(new FuzzObject(true)); });
    CObjectFactory::RegisterClass("CPOFuzzNarrow",
                                  [] { return std::unique_ptr<CProjectObject>(new FuzzObject(false)); });
    return true;
  }();
  (void)done;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

void ReadTexts(std::string_view bytes) {
  try {
    hv::Archive in(bytes);
    while (in.Remaining() > 0) {
      bool wide = false;
      const wxString text = in.ReadString(&wide);
      hv::Archive out;
      out.WriteString(text, wide);
      hv::Archive again(out.Bytes());
      bool wideAgain = false;
      Check(again.ReadString(&wideAgain) == text && wideAgain == wide && again.Remaining() == 0);
    }
  } catch (const hv::ArchiveException&) {
  }
}

void ReadObjects(std::string_view bytes) {
  try {
    hv::Archive in(bytes);
    while (in.Remaining() > 0) {
      std::unique_ptr<CProjectObject> object = ReadArchivedObject(in);
      if (!object) break;
      hv::Archive out;
      WriteArchivedObject(out, *object);
      hv::Archive again(out.Bytes());
      std::unique_ptr<CProjectObject> copy = ReadArchivedObject(again);
      Check(copy && copy->GetName() == object->GetName() && again.Remaining() == 0);
    }
  } catch (const hv::ArchiveException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RegisterClasses();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadTexts(bytes);
  ReadObjects(bytes);
  return 0;
}
