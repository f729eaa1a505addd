#include "popup_registration.h"

#include <memory>

#include "controls/audio_animator.h"
#include "controls/dropdown_list.h"

namespace popups {
namespace {

template <class Dropdown>
void RegisterDropdown(toolkit::SApplication& app, IMonitorArea* monitors) {
  app.RegisterFactory(Dropdown::GetClassName(), [monitors] {
    return std::unique_ptr<toolkit::SWindow>(new Dropdown(monitors));
  });
}

}  // namespace

void RegisterPopupControls(toolkit::SApplication& app, IMonitorArea* monitors,
                           CRealWndHandler* realWnds) {
  app.RegisterWindowClass<SMicAudioAnimator>();
  RegisterDropdown<SSearchDropdownList_1>(app, monitors);
  RegisterDropdown<SSearchDropdownList_2>(app, monitors);
  RegisterDropdown<SSearchDropdownList_3>(app, monitors);
  app.SetRealWndHandler(realWnds);
}

}  // namespace popups
