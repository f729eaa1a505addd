#include "popup_registration.h"

#include <memory>

#include "controls/audio_animator.h"
#include "controls/dropdown_list.h"

namespace popups {
namespace {

template <class Dropdown>
void RegisterDropdown(toolkit::UiContext& context, IMonitorArea* monitors) {
  context.RegisterFactory(Dropdown::GetClassName(), [monitors] {
    return std::unique_ptr<toolkit::SWindow>(new Dropdown(monitors));
  });
}

}  // namespace

void RegisterPopupControls(toolkit::UiContext& context, IMonitorArea* monitors,
                           CRealWndHandler* realWnds) {
  context.RegisterWindowClass<SMicAudioAnimator>();
  RegisterDropdown<SSearchDropdownList_1>(context, monitors);
  RegisterDropdown<SSearchDropdownList_2>(context, monitors);
  RegisterDropdown<SSearchDropdownList_3>(context, monitors);
  context.SetRealWndHandler(realWnds);
}

}  // namespace popups
