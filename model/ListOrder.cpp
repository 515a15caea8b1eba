#include "model/ListOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <memory>
#include <string>

#include "model/ProjectObject.h"

namespace {

wchar_t LowerChar(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  if (c >= 0 && c < 0x80) return c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

// The lower-case name as bytes that compare like the wide characters do: ASCII as one
// byte, anything else as a marker byte and four big-endian bytes.
std::size_t NameKeySize(const wxString& name) {
  std::size_t n = 0;
  for (const wchar_t* p = name.wc_str(), *end = p + name.length(); p != end; ++p) n += *p >= 0 && *p < 0x80 ? 1 : 5;
  return n;
}

char* PutNameKey(const wxString& name, char* out) {
  for (const wchar_t* p = name.wc_str(), *end = p + name.length(); p != end; ++p) {
    const auto c = static_cast<std::int32_t>(LowerChar(*p));
    if (c >= 0 && c < 0x80) {
      *out++ = static_cast<char>(c + 1);
      continue;
    }
    const auto u = static_cast<std::uint32_t>(c);
    *out++ = c < 0 ? '\0' : '\xFF';
    for (int shift = 24; shift >= 0; shift -= 8) *out++ = static_cast<char>((u >> shift) & 0xFF);
  }
  return out;
}

std::string NameKey(const wxString& name) {
  std::string key(NameKeySize(name), '\0');
  PutNameKey(name, key.data());
  return key;
}

// A stable sort that finds the runs already in order (and strictly reversed runs)
// first, so presorted input costs one pass. Many short runs go to std::stable_sort.
// `ahead(v, j)` is told which element the first pass reaches soon.
template <class T, class Less, class Ahead>
void RunAwareStableSort(std::vector<T>& v, Less less, Ahead ahead) {
  const std::size_t n = v.size();
  if (n < 2) return;
  std::vector<std::size_t> bounds{0};
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i + 1;
    if (j < n && less(v[j], v[j - 1])) {
      // Strictly descending, so reversing it moves no equal rows past each other.
      while (j < n && less(v[j], v[j - 1])) ahead(v, ++j);
      std::reverse(v.begin() + static_cast<std::ptrdiff_t>(i), v.begin() + static_cast<std::ptrdiff_t>(j));
    } else {
      while (j < n && !less(v[j], v[j - 1])) ahead(v, ++j);
    }
    bounds.push_back(j);
    i = j;
    if (bounds.size() > 32 && bounds.size() * 32 > i) {
      std::stable_sort(v.begin(), v.end(), less);
      return;
    }
  }
  while (bounds.size() > 2) {
    std::vector<std::size_t> merged{0};
    for (std::size_t k = 0; k + 2 < bounds.size(); k += 2) {
      std::inplace_merge(v.begin() + static_cast<std::ptrdiff_t>(bounds[k]),
                         v.begin() + static_cast<std::ptrdiff_t>(bounds[k + 1]),
                         v.begin() + static_cast<std::ptrdiff_t>(bounds[k + 2]), less);
      merged.push_back(bounds[k + 2]);
    }
    if (bounds.size() % 2 == 0) merged.push_back(bounds.back());
    bounds.swap(merged);
  }
}

// Objects of a long list lie all over memory: fetch them (and their names, which the
// base Compare reads) a few rows before they are needed.
constexpr std::size_t kObjectsAhead = 48, kNamesAhead = 24;

void Fetch(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
  __builtin_prefetch(address);
#endif
}

void FetchObject(const CProjectObject* object) {
  const char* bytes = reinterpret_cast<const char*>(object);
  for (int line = 0; line < 3; ++line) Fetch(bytes + 64 * line);
}

void Ahead(const std::vector<CProjectObject*>& rows, std::size_t i) {
  if (i + kObjectsAhead < rows.size()) FetchObject(rows[i + kObjectsAhead]);
  if (i + kNamesAhead < rows.size()) Fetch(rows[i + kNamesAhead]->GetName().wx_str());
}

// The row indices in name order; the serials are read on the way, in the objects' own
// order, so that the rows need not visit the objects again.
std::vector<std::uint32_t> NameOrder(const std::vector<CProjectObject*>& rows, std::vector<ObjectSerial>& serials) {
  const std::size_t n = rows.size();
  std::vector<std::uint32_t> starts(n + 1);
  serials.resize(n);
  // Keys side by side in one buffer: the sort reads neither the objects nor the heap.
  std::string keys;
  keys.reserve(n * 16);
  for (std::size_t i = 0; i < n; ++i) {
    Ahead(rows, i);
    const wxString& name = rows[i]->GetName();
    serials[i] = rows[i]->GetSerial();
    starts[i] = static_cast<std::uint32_t>(keys.size());
    keys.resize(starts[i] + name.length() * 5);
    keys.resize(static_cast<std::size_t>(PutNameKey(name, keys.data() + starts[i]) - keys.data()));
  }
  starts[n] = static_cast<std::uint32_t>(keys.size());
  const char* base = keys.data();
  auto length = [&](std::uint32_t i) { return static_cast<std::size_t>(starts[i + 1] - starts[i]); };
  // Names often share a beginning ("Maske ", "DP_"): the eight bytes after it decide
  // most comparisons without touching the keys.
  std::size_t common = n ? length(0) : 0;
  for (std::uint32_t i = 1; i < n && common > 0; ++i) {
    const std::size_t limit = std::min(common, length(i));
    std::size_t k = 0;
    while (k < limit && base[starts[i] + k] == base[k]) ++k;
    common = k;
  }
  struct Entry {
    std::uint64_t head;
    std::uint32_t index;
  };
  std::vector<Entry> order(n);
  for (std::uint32_t i = 0; i < n; ++i) {
    std::uint64_t head = 0;
    for (std::size_t k = 0; k < 8; ++k) {
      const std::size_t at = common + k;
      head = head << 8 | (at < length(i) ? static_cast<unsigned char>(base[starts[i] + at]) : 0u);
    }
    order[i] = {head, i};
  }
  auto less = [&](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head;
    const std::size_t la = length(a.index), lb = length(b.index);
    const int c = std::memcmp(base + starts[a.index], base + starts[b.index], std::min(la, lb));
    if (c != 0) return c < 0;
    return la != lb ? la < lb : a.index < b.index;
  };
  if (!std::is_sorted(order.begin(), order.end(), less)) std::sort(order.begin(), order.end(), less);
  std::vector<std::uint32_t> indices(n);
  for (std::size_t i = 0; i < n; ++i) indices[i] = order[i].index;
  return indices;
}

}  // namespace

bool NameBefore(const CProjectObject& a, const CProjectObject& b) { return NameKey(a.GetName()) < NameKey(b.GetName()); }

std::vector<ObjectRef> SortListRows(const std::vector<CProjectObject*>& rows, int column, bool descending) {
  std::vector<ObjectSerial> serials;
  std::vector<std::uint32_t> order = NameOrder(rows, serials);
  auto ahead = [&rows](const std::vector<std::uint32_t>& v, std::size_t j) {
    if (j + kObjectsAhead < v.size()) FetchObject(rows[v[j + kObjectsAhead]]);
    if (j + kNamesAhead < v.size()) Fetch(rows[v[j + kNamesAhead]]->GetName().wx_str());
  };
  if (column >= 0)
    RunAwareStableSort(
        order,
        [&rows, column, descending](std::uint32_t a, std::uint32_t b) {
          const int r = rows[a]->Compare(rows[b], column);
          return descending ? r > 0 : r < 0;
        },
        ahead);
  std::vector<ObjectRef> refs;
  refs.reserve(order.size());
  for (std::uint32_t i : order) refs.emplace_back(serials[i]);
  return refs;
}
