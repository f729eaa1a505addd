#include "tool_json.h"
#include "tool_pages.h"

namespace kestrel::server {
std::string PageStart(const std::string& title) {
  return "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
         title + " - Lessora</title>\n<link rel=\"stylesheet\" href=\"" + kToolStylePath +
         "\">\n</head>\n<body>\n<header class=\"band\"><h1>" + title +
         "</h1><p>Lessora 网课环境检测</p></header>\n<main>\n";
}

std::string PageEnd() {
  return "</main>\n<footer>Lessora · 让每一堂网课都顺畅</footer>\n</body>\n</html>\n";
}

std::string DownloadPageHtml(const std::string& version) {
  const std::string v = EscapeHtml(version);
  return PageStart("下载新版本") +
         "<section class=\"card\">\n<h2>Lessora 最新版本 <span class=\"tag\" id=\"version\">" + v +
         "</span></h2>\n"
         "<p>"
         "您正在使用的版本已经不是最新版本。新版本修正了已知问题，检测结果更准确，请安装后再使用。<"
         "/p>\n"
         "<h3>如何更新</h3>\n<ol>\n"
         "<li>关闭正在运行的 Lessora。</li>\n"
         "<li>向学校的信息技术老师或本校软件分发平台获取版本 " +
         v +
         " 的安装包。</li>\n"
         "<li>运行安装包，按提示完成安装，然后重新打开 Lessora。</li>\n</ol>\n"
         "<p class=\"muted\">安装需要管理员权限；更新不会改变您电脑上的其他设置。</p>\n"
         "</section>\n" +
         PageEnd();
}

std::string HelpArticleHtml() {
  return PageStart("使用帮助") + R"html(<article class="card">
<h2>Lessora 能帮您做什么</h2>
<p>上网课前，Lessora 用一次点击检查这台电脑和它的网络是否准备好了：麦克风和摄像头能否正常使用，电脑的配置够不够，网络是否稳定、够快。检测完成后会给出总分和需要注意的问题，并附上解决建议。</p>

<h3>开始检测</h3>
<ol>
<li>打开 Lessora，确认已勾选“同意”用户协议。</li>
<li>点击“开始检测”。检测共 13 项，大约需要一到两分钟。</li>
<li>检测麦克风时，请对着麦克风说几句话：能听到自己的声音、看到波形跳动，就点击“能听到”；否则点击“听不到”。</li>
<li>检测摄像头时，能看到自己的画面就点击“能看到”。</li>
<li>检测结束后，点击“查看完整报告”可以在浏览器中查看每一项的结果。</li>
</ol>

<h3>检测项目</h3>
<ul>
<li>设备：麦克风、摄像头。</li>
<li>电脑：主机信息、操作系统、处理器、内存、磁盘。</li>
<li>网络：网卡、DNS、到路由器的延迟、局域网设备数量、下载速度。</li>
</ul>

<h3>常见问题</h3>
<p><strong>提示“网络连接失败，请重新检测网络”？</strong><br>
请检查网线或无线网络是否已连接，打开任意网页试一试，然后点击“返回首页”重新检测。</p>
<p><strong>麦克风听不到声音？</strong><br>
请确认耳机或麦克风已插好，在检测窗口中选择正确的设备，并把音量调大。</p>
<p><strong>摄像头没有画面？</strong><br>
请关闭其他正在使用摄像头的程序（例如视频会议软件），然后重新检测。</p>
<p><strong>“一键优化”会做什么？</strong><br>
它会为当前使用的网卡设置一个响应更快的 DNS 服务器，通常能让网页和网课平台打开得更快。优化需要管理员权限。</p>
<p><strong>每次检测的分数略有不同？</strong><br>
网络本身会有波动，得分略有差异属正常情况。</p>

<h3>还有问题？</h3>
<p>请在 Lessora 中点击“意见反馈”告诉我们，我们会尽快回复。</p>
</article>
)html" + PageEnd();
}

std::string NotFoundPageHtml() {
  return PageStart("页面不存在") +
         "<section class=\"card\"><div class=\"notice\"><div class=\"big\">🔍</div>"
         "<h2>没有找到这个页面</h2><p class=\"muted\">请检查地址是否正确。</p></div></section>\n" +
         PageEnd();
}

}  // namespace kestrel::server
