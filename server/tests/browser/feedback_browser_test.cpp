// The feedback page in headless Chromium against the fixture's server: the page reads the tool
// id from the fragment (which never reaches the server), shows the form for it, and what a user
// types and submits is stored.
#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <string>

#include "web_driver.h"

namespace kestrel::server::test {
namespace {

using std::chrono::milliseconds;

// Every stored submission whose text is `text` (several tests may share the server).
Json::Value StoredWithText(const std::string& text) {
  httplib::Client http(ServerAddress());
  auto res = http.Get("/_test/feedback");
  Json::Value all;
  Json::Value found(Json::arrayValue);
  if (res && Json::Reader().parse(res->body, all)) {
    for (const Json::Value& record : all) {
      if (record["text"].asString() == text) {
        found.append(record);
      }
    }
  }
  return found;
}

// The page's own style sheet applied (its header's text is white), and a script put into the page
// inline is blocked by its policy.
constexpr const char* kPolicyScript =
    "var s = document.createElement('script');"
    "s.textContent = 'window.inlineRan = 1;';"
    "document.head.appendChild(s);"
    "return {styled: getComputedStyle(document.querySelector('header')).color"
    "                === 'rgb(255, 255, 255)',"
    "        inlineRan: window.inlineRan === 1};";

class FeedbackBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(browser_.Start(error)) << error;
  }

  // A token that makes this run's submissions unlike any other's.
  static std::string Token() {
    return std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  }

  WebDriver browser_;
};

TEST_F(FeedbackBrowserTest, TheFragmentChoosesWhatThePageShows) {
  const struct {
    const char* fragment;
    const char* shownId;  // nullptr: the friendly page without a form
  } cases[] = {
      {"", nullptr},
      {"#/suggest?id=10090", "10090"},
      {"#/suggest?id=%E5%B7%A5%E5%85%B7+7", "工具 7"},
      {"#/suggest?x=1&id=%20%2042%20", "42"},
      {"#/suggest", nullptr},
      {"#/suggest?id=", nullptr},
      {"#/other?id=10090", nullptr},
      {"#suggest?id=10090", nullptr},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(browser_.Open(ServerAddress() + "/home" + c.fragment)) << c.fragment;
    const std::string form = browser_.Find("#suggest");
    const std::string friendly = browser_.Find("#no-tool");
    ASSERT_FALSE(form.empty());
    EXPECT_EQ(browser_.Displayed(form), c.shownId != nullptr) << c.fragment;
    EXPECT_EQ(browser_.Displayed(friendly), c.shownId == nullptr) << c.fragment;
    if (c.shownId) {
      EXPECT_EQ(browser_.Text(browser_.Find("#tool-id")), c.shownId) << c.fragment;
    }
  }
  // A new fragment in the same page (the tool opening it again) switches the id at once.
  browser_.Script("location.hash = '#/suggest?id=777'; return 0;");
  EXPECT_TRUE(browser_.WaitDisplayed("#suggest", milliseconds(3000)));
  EXPECT_EQ(browser_.Text(browser_.Find("#tool-id")), "777");
}

TEST_F(FeedbackBrowserTest, ASubmittedFormIsStoredForTheIdOfTheFragment) {
  const std::string token = Token();
  const struct {
    const char* fragment;
    std::string id;
    std::string contact;
    std::string text;
  } cases[] = {
      {"#/suggest?id=10090", "10090", "qq 123456", "检测网速时卡住了 " + token},
      {"#/suggest?id=10090", "10090", "", "no contact " + token},
      // Markup in the id is shown and stored as text, never run.
      {"#/suggest?id=%3Cimg%20src%3Dx%20onerror%3D%22window.hit%3D1%22%3E",
       "<img src=x onerror=\"window.hit=1\">", "<b>me</b>", "<script>x</script> " + token},
  };
  for (const auto& c : cases) {
    // A fresh load each time: the same address again would only be a jump within the page.
    ASSERT_TRUE(browser_.Open("about:blank"));
    ASSERT_TRUE(browser_.Open(ServerAddress() + "/home" + c.fragment));
    ASSERT_TRUE(browser_.WaitDisplayed("#suggest", milliseconds(3000))) << c.fragment;
    EXPECT_EQ(browser_.Text(browser_.Find("#tool-id")), c.id);
    EXPECT_TRUE(browser_
                    .Script("return document.querySelectorAll('#tool-id *').length === 0 && "
                            "window.hit === undefined;")
                    .asBool())
        << c.fragment;
    ASSERT_TRUE(browser_.Type(browser_.Find("#field-text"), c.text));
    if (!c.contact.empty()) {
      ASSERT_TRUE(browser_.Type(browser_.Find("#field-contact"), c.contact));
    }
    ASSERT_TRUE(browser_.Click(browser_.Find("#submit")));
    ASSERT_TRUE(browser_.WaitDisplayed("#thanks", milliseconds(5000)))
        << c.text << ": " << browser_.Text(browser_.Find("#status"));
    const Json::Value stored = StoredWithText(c.text);
    ASSERT_EQ(stored.size(), 1u) << c.text;
    EXPECT_EQ(stored[0]["id"].asString(), c.id);
    EXPECT_EQ(stored[0]["contact"].asString(), c.contact);
  }
}

TEST_F(FeedbackBrowserTest, ABlankTextIsNotSentAndTheUserIsTold) {
  ASSERT_TRUE(browser_.Open(ServerAddress() + "/home#/suggest?id=10090"));
  ASSERT_TRUE(browser_.WaitDisplayed("#suggest", milliseconds(3000)));
  const std::string contact = "blank " + Token();
  ASSERT_TRUE(browser_.Type(browser_.Find("#field-text"), "   "));
  ASSERT_TRUE(browser_.Type(browser_.Find("#field-contact"), contact));
  ASSERT_TRUE(browser_.Click(browser_.Find("#submit")));
  EXPECT_EQ(browser_.Text(browser_.Find("#status")), "请填写反馈内容。");
  EXPECT_FALSE(browser_.Displayed(browser_.Find("#thanks")));
  httplib::Client http(ServerAddress());
  EXPECT_EQ(http.Get("/_test/feedback")->body.find(contact), std::string::npos);
}

TEST_F(FeedbackBrowserTest, EveryToolPageIsStyledUnderItsPolicyWhichBlocksInlineScript) {
  for (const char* path : {"/home#/suggest?id=10090", "/home", "/download",
                           "/detail/dc_188984.html", "/detail/none.html"}) {
    ASSERT_TRUE(browser_.Open(ServerAddress() + path)) << path;
    const Json::Value seen = browser_.Script(kPolicyScript);
    EXPECT_TRUE(seen["styled"].asBool()) << path;
    EXPECT_FALSE(seen["inlineRan"].asBool()) << path;
  }
  // The page's own script still runs: the fragment chose the form.
  ASSERT_TRUE(browser_.Open(ServerAddress() + "/home#/suggest?id=10090"));
  EXPECT_TRUE(browser_.Displayed(browser_.Find("#suggest")));
}

}  // namespace
}  // namespace kestrel::server::test
