// Each window's controls reach the context of their own window, never another one: definitions,
// control classes and diagnostics stay apart, however many contexts a process holds.
#include <gtest/gtest.h>

#include "headless.h"
#include "toolkit/application.h"
#include "toolkit/controls.h"

namespace toolkit {
namespace {

using headless::DrawOp;
using headless::HeadlessPlatform;

class SGauge : public SWindow {
 public:
  TOOLKIT_CLASS_NAME(SWindow, L"gauge")
};

const DrawOp* TextOp(const std::vector<DrawOp>& ops, const std::wstring& text) {
  for (const auto& op : ops) {
    if (op.kind == DrawOp::kText && op.text == text)
      return &op;
  }
  return nullptr;
}

TEST(ToolkitContext, TwoContextsKeepTheirDefinitionsClassesAndProblemsApart) {
  struct Case {
    const char* folder;
    bool registersGauge;
    float fontSize;
    Color ink;
    size_t problems;  // the unregistered "gauge" only
  };
  const Case cases[] = {{"small", false, 11, {0x11, 0x22, 0x33, 255}, 1},
                        {"large", true, 20, {0x44, 0x55, 0x66, 255}, 0}};
  HeadlessPlatform platform;
  SApplication apps[2] = {SApplication(&platform), SApplication(&platform)};
  std::unique_ptr<SHostWnd> hosts[2];
  for (size_t i = 0; i < 2; ++i) {
    auto files = std::make_unique<FileResProvider>();
    ASSERT_TRUE(
        files->Init(std::string(KESTREL_TESTDATA_DIR "/toolkit/context/") + cases[i].folder));
    apps[i].Context().AddResProvider(std::move(files));
    if (cases[i].registersGauge)
      apps[i].Context().RegisterWindowClass<SGauge>();
  }
  // Both windows are built before either is checked, so a shared state would show.
  for (size_t i = 0; i < 2; ++i) {
    hosts[i] = std::make_unique<SHostWnd>(apps[i].Context(), L"LAYOUT:XML_PANEL");
    ASSERT_TRUE(hosts[i]->Create());
  }
  for (size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].folder);
    const Case& c = cases[i];
    SWindow* label = hosts[i]->FindChildByName(L"label");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetContext(), &apps[i].Context());
    EXPECT_FLOAT_EQ(label->GetFont().size, c.fontSize);
    auto ops = platform.WindowOf(*hosts[i])->Paint().ops;
    const DrawOp* text = TextOp(ops, L"a");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::vector<int>({text->color.r, text->color.g, text->color.b}),
              std::vector<int>({c.ink.r, c.ink.g, c.ink.b}));
    EXPECT_EQ(hosts[i]->FindChildByName2<SGauge>(L"gauge") != nullptr, c.registersGauge);
    ASSERT_EQ(apps[i].Context().GetDiagnostics().size(), c.problems);
    if (c.problems) {
      EXPECT_EQ(apps[i].Context().GetDiagnostics()[0].kind, Diagnostic::kUnknownClass);
    }
    // A control made by code takes the context of the tree it joins, and its default font.
    SWindow* added = hosts[i]->GetRoot()->InsertChild(std::make_unique<SStatic>());
    EXPECT_EQ(added->GetContext(), &apps[i].Context());
    EXPECT_FLOAT_EQ(added->GetFont().size, c.fontSize);
  }
}

TEST(ToolkitContext, MessageBoxWithoutParentOrTemplateAnswersCancelUnshown) {
  HeadlessPlatform platform;
  SApplication app(&platform);
  SHostWnd owner(app.Context(), L"");
  ASSERT_TRUE(owner.Create());
  for (SHostWnd* parent : {static_cast<SHostWnd*>(nullptr), &owner}) {
    EXPECT_EQ(SMessageBox(parent, L"text", L"caption", kMessageBoxOkCancel), kDialogCancel);
  }
  EXPECT_EQ(platform.ModalLoopsRun(), 0);
}

}  // namespace
}  // namespace toolkit
