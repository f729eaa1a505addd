// The built-in control classes. Each control file registers its own classes; the application
// calls them once when it makes its context.
#pragma once

namespace toolkit {

class UiContext;

void RegisterWindowControl(UiContext& context);        // "window"
void RegisterButtonControls(UiContext& context);       // "text", "button", "link", "check", "img"
void RegisterTabControls(UiContext& context);          // "tabctrl", "page"
void RegisterRangeControls(UiContext& context);        // "progress", "sliderbar"
void RegisterEditControl(UiContext& context);          // "edit"
void RegisterBusyIndicator(UiContext& context);        // "busy"
void RegisterNativeChildControls(UiContext& context);  // "richedit", "realwnd"
void RegisterListView(UiContext& context);             // "listview"

inline void RegisterBuiltinControls(UiContext& context) {
  RegisterWindowControl(context);
  RegisterButtonControls(context);
  RegisterTabControls(context);
  RegisterRangeControls(context);
  RegisterEditControl(context);
  RegisterBusyIndicator(context);
  RegisterNativeChildControls(context);
  RegisterListView(context);
}

}  // namespace toolkit
