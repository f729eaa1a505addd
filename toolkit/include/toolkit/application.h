// The application: the platform, the resources, the definitions of "uidef:xml_init", the control
// factories, the real-window handler, the message box template and the list of layout problems.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/native_platform.h"
#include "toolkit/resources.h"
#include "toolkit/style.h"

namespace pugi {
class xml_document;
class xml_node;
}  // namespace pugi

namespace toolkit {

class SHostWnd;
class SWindow;
class SRealWnd;

// A problem found in a layout or definition file: which file, which line (1-based, 0 when
// unknown) and what. Loading goes on past it.
struct Diagnostic {
  enum Kind {
    kBrokenXml,
    kMissingLayout,
    kUnknownClass,
    kUnknownAttribute,
    kBadValue,
    kMissingImage,
    kMissingSkin
  } kind;
  std::wstring layout;
  int line = 0;
  std::wstring message;
  std::wstring ToString() const;  // "LAYOUT:XML_MAINWND:12: unknown control class \"foo\""
};

// Makes the native windows of `realwnd` controls (the camera picture's window).
class IRealWndHandler {
 public:
  virtual ~IRealWndHandler() = default;
  // Returns the native child window for the control, or 0 for none.
  virtual std::uintptr_t OnRealWndCreate(SRealWnd* control) = 0;
  virtual void OnRealWndDestroy(SRealWnd* control) = 0;
};

using WindowFactory = std::function<std::unique_ptr<SWindow>()>;

class SApplication {
 public:
  explicit SApplication(INativePlatform* platform);
  ~SApplication();
  SApplication(const SApplication&) = delete;
  SApplication& operator=(const SApplication&) = delete;
  // The one application of the process; null when none exists.
  static SApplication* getSingletonPtr();

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

  // The message box layout (the "SOUI" node of "XML_MSGBOX"); copied.
  void SetMsgTemplate(pugi::xml_node node);
  pugi::xml_node GetMsgTemplate() const;

  // Control classes by their layout name; a registered name replaces a built-in one.
  void RegisterFactory(const std::wstring& className, WindowFactory factory);
  template <class T>
  void RegisterWindowClass() {
    RegisterFactory(T::GetClassName(), [] { return std::unique_ptr<SWindow>(new T()); });
  }
  std::unique_ptr<SWindow> CreateWindowByName(const std::wstring& className) const;

  void SetRealWndHandler(IRealWndHandler* handler) { realWndHandler_ = handler; }
  IRealWndHandler* GetRealWndHandler() const { return realWndHandler_; }

  // Runs the message loop until Quit (the main window shown first).
  int Run(SHostWnd* mainWindow);
  void Quit(int code = 0);

  // --- layout problems ---
  const std::vector<Diagnostic>& GetDiagnostics() const { return diagnostics_; }
  void ClearDiagnostics() { diagnostics_.clear(); }
  void Report(Diagnostic::Kind kind, const std::wstring& message, pugi::xml_node node);
  void Report(Diagnostic::Kind kind, const std::wstring& message);
  // While a layout is read, problems name it and the line of the node.
  class SourceScope {
   public:
    SourceScope(SApplication& app, const std::wstring& name, const std::string* text);
    ~SourceScope();
    SourceScope(const SourceScope&) = delete;
    SourceScope& operator=(const SourceScope&) = delete;

   private:
    SApplication& app_;
  };
  void SetCurrentNode(pugi::xml_node node);

  // Objects deleted once the current platform report has been handled (windows that end
  // themselves from inside their own event handlers).
  void DeleteLater(std::function<void()> deleter);
  void EnterDispatch() { ++dispatchDepth_; }
  void LeaveDispatch();

 private:
  struct Source {
    std::wstring name;
    const std::string* text;
    int line;  // of the node being read
  };
  int LineOf(pugi::xml_node node) const;

  INativePlatform* platform_;
  std::vector<std::unique_ptr<IResProvider>> providers_;
  std::unique_ptr<IResProvider> chain_;
  SUiDef uidef_;
  std::unique_ptr<pugi::xml_document> msgTemplate_;
  std::vector<std::pair<std::wstring, WindowFactory>> factories_;
  IRealWndHandler* realWndHandler_ = nullptr;
  std::vector<Diagnostic> diagnostics_;
  std::vector<Source> sources_;
  std::vector<std::function<void()>> deleteLater_;
  int dispatchDepth_ = 0;
};

// Shows the message box of the "XML_MSGBOX" template modally: `type` 0 = OK, 1 = OK and Cancel
// (2 = Yes/No/Cancel... are not used). Returns IDOK (1) or IDCANCEL (2).
enum MessageBoxType { MB_OK = 0, MB_OKCANCEL = 1 };
int SMessageBox(SHostWnd* parent, const std::wstring& text, const std::wstring& caption, int type);

}  // namespace toolkit
