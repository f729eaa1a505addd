// The built-in control classes. Each control file registers its own classes; the application
// calls them once when it makes its context.
#pragma once

namespace toolkit {

class UiContext;

// "window", "text", "button", "link", "check", "img", "tabctrl", "page", "progress",
// "sliderbar", "edit", "busy", "richedit" and "realwnd".
void RegisterBasicControls(UiContext& context);
// "listview".
void RegisterListView(UiContext& context);

inline void RegisterBuiltinControls(UiContext& context) {
  RegisterBasicControls(context);
  RegisterListView(context);
}

}  // namespace toolkit
