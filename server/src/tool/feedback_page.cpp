#include "tool_pages.h"

namespace kestrel::server {

std::string FeedbackPageHtml() {
  // The tool opens "/home#/suggest?id=<tool id>"; the part after "#" stays in the browser,
  // so the script below reads it and fills the form.
  return PageStart("意见反馈") + R"html(  <section class="card" id="no-tool" hidden>
    <div class="notice">
      <div class="big">🙂</div>
      <h2>请从工具中打开本页</h2>
      <p class="muted">在 Lessora 中点击“意见反馈”按钮，即可为该工具提交意见。</p>
    </div>
  </section>

  <section class="card" id="suggest" hidden>
    <h2>您的意见对我们很重要</h2>
    <p class="muted">遇到问题或有改进建议，请告诉我们。工具编号：<span class="tag" id="tool-id"></span></p>
    <form id="suggest-form" method="post" action="/home/suggest">
      <input type="hidden" name="id" id="field-id">
      <label for="field-text">反馈内容</label>
      <textarea id="field-text" name="text" maxlength="2000" required
                placeholder="请描述您遇到的问题或建议，例如：检测到哪一步时出现了什么情况。"></textarea>
      <div class="counter"><span id="text-count">0</span> / 2000</div>
      <label for="field-contact">联系方式 <span class="muted">（选填，便于我们回复您）</span></label>
      <input type="text" id="field-contact" name="contact" maxlength="60"
             placeholder="手机号、邮箱或QQ">
      <div class="actions">
        <button class="button" type="submit" id="submit">提交反馈</button>
        <span class="status" id="status" role="status"></span>
      </div>
    </form>
  </section>

  <section class="card" id="thanks" hidden>
    <div class="notice">
      <div class="big">✅</div>
      <h2>感谢您的反馈！</h2>
      <p class="muted">我们已收到您的意见，会认真阅读并尽快改进。</p>
      <p><button class="button" type="button" id="again">再提一条</button></p>
    </div>
  </section>
<script src=")html" +
         std::string(kFeedbackScriptPath) + R"html("></script>
)html" + PageEnd();
}

const char* FeedbackScript() {
  // Served apart from the page: the pages allow only scripts from this server, none inline.
  return R"js((function () {
  var $ = function (id) { return document.getElementById(id); };

  function toolIdFromHash() {
    var hash = location.hash.replace(/^#/, "");
    var q = hash.indexOf("?");
    var route = q < 0 ? hash : hash.slice(0, q);
    if (route !== "/suggest") return "";
    var params = new URLSearchParams(q < 0 ? "" : hash.slice(q + 1));
    return (params.get("id") || "").trim();
  }

  function show(which) {
    ["no-tool", "suggest", "thanks"].forEach(function (id) { $(id).hidden = id !== which; });
  }

  function setStatus(text, kind) {
    $("status").textContent = text;
    $("status").className = "status" + (kind ? " " + kind : "");
  }

  function route() {
    var id = toolIdFromHash();
    $("tool-id").textContent = id;
    $("field-id").value = id;
    setStatus("", "");
    show(id ? "suggest" : "no-tool");
  }

  $("field-text").addEventListener("input", function () {
    $("text-count").textContent = String(this.value.length);
  });

  $("suggest-form").addEventListener("submit", function (event) {
    event.preventDefault();
    if (!$("field-text").value.trim()) {
      setStatus("请填写反馈内容。", "bad");
      return;
    }
    $("submit").disabled = true;
    setStatus("正在提交…", "");
    fetch(this.action, {
      method: "POST",
      headers: { "Content-Type": "application/json" },
      body: JSON.stringify({
        id: $("field-id").value,
        contact: $("field-contact").value,
        text: $("field-text").value
      })
    }).then(function (res) {
      return res.json();
    }).then(function (answer) {
      if (answer.code === 200) {
        $("suggest-form").reset();
        $("text-count").textContent = "0";
        show("thanks");
      } else {
        setStatus(answer.msg || "提交失败，请稍后再试。", "bad");
      }
    }).catch(function () {
      setStatus("网络异常，提交失败，请稍后再试。", "bad");
    }).then(function () {
      $("submit").disabled = false;
    });
  });

  $("again").addEventListener("click", route);
  window.addEventListener("hashchange", route);
  route();
})();
)js";
}

}  // namespace kestrel::server
