// What every window of one program shares and its controls reach through their container: the
// platform, the resources, the definitions of "uidef:xml_init", the control factories, the
// real-window handler, the message box template and the log of layout problems.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/diagnostics.h"
#include "toolkit/native_platform.h"
#include "toolkit/resources.h"
#include "toolkit/style.h"

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

namespace toolkit {

class SWindow;
class SRealWnd;

// Makes the native windows of `realwnd` controls (the camera picture's window).
class IRealWndHandler {
 public:
  virtual ~IRealWndHandler() = default;
  // Returns the native child window for the control, or 0 for none.
  virtual std::uintptr_t OnRealWndCreate(SRealWnd* control) = 0;
  virtual void OnRealWndDestroy(SRealWnd* control) = 0;
};

using WindowFactory = std::function<std::unique_ptr<SWindow>()>;

class UiContext {
 public:
  explicit UiContext(INativePlatform* platform);
  ~UiContext();
  UiContext(const UiContext&) = delete;
  UiContext& operator=(const UiContext&) = delete;

  INativePlatform* GetPlatform() const { return platform_; }

  // Adds a resource provider (searched last-added first) and loads its definitions.
  void AddResProvider(std::unique_ptr<IResProvider> provider,
                      const std::wstring& uidef = L"uidef:xml_init");
  // Every provider as one: the last-added that has a resource answers for it.
  const IResProvider* GetResProvider() const;
  std::optional<std::string> LoadRawResource(const std::wstring& name,
                                             const std::wstring& defaultType = L"") const;
  // Reads a named XML resource; a broken or missing one is recorded in the diagnostics.
  bool LoadXmlDocment(pugi::xml_document& doc, const std::wstring& name,
                      const std::wstring& defaultType = L"LAYOUT");
  // The same, keeping the text (for line numbers).
  bool LoadXmlText(pugi::xml_document& doc, const std::wstring& name,
                   const std::wstring& defaultType, std::string* text);
  // Reads the skins, colours, fonts and styles of a definition resource.
  bool LoadUiDef(const std::wstring& name);
  SUiDef& GetUiDef() { return uidef_; }
  const SUiDef& GetUiDef() const { return uidef_; }

  // The message box layout (the "SOUI" node of "XML_MSGBOX"); copied.
  void SetMsgTemplate(pugi::xml_node node);
  pugi::xml_node GetMsgTemplate() const;

  // Control classes by their layout name; a registered name replaces an earlier one.
  void RegisterFactory(const std::wstring& className, WindowFactory factory);
  template <class T>
  void RegisterWindowClass() {
    RegisterFactory(T::GetClassName(), [] { return std::unique_ptr<SWindow>(new T()); });
  }
  // Null for a class nobody registered.
  const WindowFactory* FindFactory(const std::wstring& className) const;
  // Made with the class's factory; null for a class nobody registered. Defined with the layout
  // reader, which knows the complete control type.
  std::unique_ptr<SWindow> CreateWindowByName(const std::wstring& className) const;

  // The high-contrast colours while that theme is on, else null; read from the platform as each
  // host window is made and again on RefreshSystemColors (the platform may be built after the
  // context, so the constructor does not ask).
  const SystemColors* HighContrast() const { return highContrast_ ? &*highContrast_ : nullptr; }
  // Asks the platform again; true when the answer changed.
  bool RefreshSystemColors();

  void SetRealWndHandler(IRealWndHandler* handler) { realWndHandler_ = handler; }
  IRealWndHandler* GetRealWndHandler() const { return realWndHandler_; }

  // --- layout problems ---
  const std::vector<Diagnostic>& GetDiagnostics() const { return diagnostics_.All(); }
  void ClearDiagnostics() { diagnostics_.Clear(); }
  DiagnosticLog& Diagnostics() { return diagnostics_; }

  // Objects deleted once the current platform report has been handled (windows that end
  // themselves from inside their own event handlers).
  void DeleteLater(std::function<void()> deleter);
  void EnterDispatch() { ++dispatchDepth_; }
  void LeaveDispatch();

 private:
  INativePlatform* platform_;
  std::vector<std::unique_ptr<IResProvider>> providers_;
  std::unique_ptr<IResProvider> chain_;
  SUiDef uidef_;
  std::unique_ptr<pugi::xml_document> msgTemplate_;
  std::vector<std::pair<std::wstring, WindowFactory>> factories_;
  IRealWndHandler* realWndHandler_ = nullptr;
  DiagnosticLog diagnostics_;
  std::vector<std::function<void()>> deleteLater_;
  int dispatchDepth_ = 0;
  std::optional<SystemColors> highContrast_;
};

}  // namespace toolkit
