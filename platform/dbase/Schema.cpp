#include "platform/dbase/Schema.h"

#include <strings.h>

namespace hv::db {

int Schema::FindTag(std::string_view tag) const {
  for (std::size_t i = 0; i < tags.size(); ++i)
    if (tags[i].name.size() == tag.size() && strncasecmp(tags[i].name.data(), tag.data(), tag.size()) == 0)
      return static_cast<int>(i);
  return -1;
}

bool Schema::IsRequired(int field) const {
  if (field == autoField) return true;
  if (fields[static_cast<std::size_t>(field)].required) return true;
  for (const TagDef& t : tags)
    for (const KeyPartDef& p : t.parts)
      if (p.field == field) return true;
  return false;
}

}  // namespace hv::db
