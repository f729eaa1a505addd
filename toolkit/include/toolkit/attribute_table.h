// A control class's layout attributes as a table of name -> setter, registered once per class.
// A control's SetAttribute looks the name up in its own class's table and hands what it does not
// know to its base class, so each class lists only the attributes it adds.
#pragma once

#include <cwctype>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace toolkit {

enum class AttrNames { kExact, kAnyCase };

// True when `name` is the attribute name `entry`, letter for letter or, with kAnyCase, in any case.
inline bool SameAttrName(const std::wstring& name, const wchar_t* entry, AttrNames names) {
  size_t i = 0;
  for (; i < name.size() && entry[i]; ++i) {
    wchar_t a = name[i], b = entry[i];
    if (names == AttrNames::kAnyCase) {
      a = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(a)));
      b = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(b)));
    }
    if (a != b)
      return false;
  }
  return i == name.size() && !entry[i];
}

template <class T>
class AttributeTable {
 public:
  using Setter = void (*)(T& control, const std::wstring& name, const std::wstring& value,
                          bool loading);
  struct Entry {
    const wchar_t* name;
    Setter setter;
  };

  AttributeTable(std::initializer_list<Entry> entries, AttrNames names = AttrNames::kExact)
      : entries_(entries), names_(names) {}

  // Null when the table has no attribute of that name.
  Setter Find(const std::wstring& name) const {
    for (const Entry& entry : entries_) {
      if (SameAttrName(name, entry.name, names_))
        return entry.setter;
    }
    return nullptr;
  }
  // Calls the setter of `name`; false when the table has none.
  bool Apply(T& control, const std::wstring& name, const std::wstring& value, bool loading) const {
    Setter setter = Find(name);
    if (!setter)
      return false;
    setter(control, name, value, loading);
    return true;
  }
  size_t Size() const { return entries_.size(); }

 private:
  std::vector<Entry> entries_;
  AttrNames names_;
};

// A setter that accepts the attribute and does nothing (layout attributes a control ignores).
template <class T>
void IgnoreAttribute(T&, const std::wstring&, const std::wstring&, bool) {}

}  // namespace toolkit
