#include "tool_pages.h"

namespace kestrel::server {

const char* ToolStyleSheet() {
  return R"css(:root {
  --blue: #2f7cf6;
  --blue-dark: #1f63d1;
  --ink: #1f2a3a;
  --muted: #6b7787;
  --line: #dfe5ee;
  --soft: #f3f6fb;
  --ok: #1f9d55;
  --bad: #d64545;
}
* { box-sizing: border-box; }
body {
  margin: 0;
  background: var(--soft);
  color: var(--ink);
  font: 16px/1.7 "PingFang SC", "Microsoft YaHei", "Noto Sans CJK SC", "Source Han Sans SC",
    sans-serif;
}
header.band {
  background: linear-gradient(135deg, #3b8cff, #2560d8);
  color: #fff;
  padding: 28px 20px 64px;
  text-align: center;
}
header.band h1 { margin: 0; font-size: 26px; font-weight: 600; letter-spacing: 1px; }
header.band p { margin: 6px 0 0; opacity: .9; }
main {
  max-width: 640px;
  margin: -44px auto 32px;
  padding: 0 14px;
}
.card {
  background: #fff;
  border-radius: 14px;
  box-shadow: 0 6px 24px rgba(31, 42, 58, .08);
  padding: 24px 24px 28px;
  margin-bottom: 16px;
}
.card h2 { margin: 0 0 12px; font-size: 20px; }
.card h3 { margin: 22px 0 6px; font-size: 17px; }
.muted { color: var(--muted); font-size: 14px; }
.tag {
  display: inline-block;
  background: #e8f0ff;
  color: var(--blue-dark);
  border-radius: 999px;
  padding: 2px 12px;
  font-size: 14px;
}
label { display: block; margin: 18px 0 6px; font-weight: 600; }
label .muted { font-weight: normal; }
input[type=text], textarea {
  width: 100%;
  border: 1px solid var(--line);
  border-radius: 10px;
  padding: 10px 12px;
  font: inherit;
  color: inherit;
  background: #fbfcfe;
}
input[type=text]:focus, textarea:focus {
  outline: none;
  border-color: var(--blue);
  box-shadow: 0 0 0 3px rgba(47, 124, 246, .15);
  background: #fff;
}
textarea { min-height: 150px; resize: vertical; }
.counter { text-align: right; color: var(--muted); font-size: 13px; margin-top: 4px; }
.button {
  display: inline-block;
  border: 0;
  border-radius: 10px;
  background: var(--blue);
  color: #fff;
  font: inherit;
  font-weight: 600;
  padding: 11px 28px;
  cursor: pointer;
  text-decoration: none;
}
.button:hover { background: var(--blue-dark); }
.button:disabled { background: #9dbbf0; cursor: default; }
.actions { margin-top: 22px; display: flex; align-items: center; gap: 14px; flex-wrap: wrap; }
.status { font-size: 14px; }
.status.bad { color: var(--bad); }
.status.ok { color: var(--ok); }
.notice { text-align: center; padding: 12px 0; }
.notice .big { font-size: 44px; line-height: 1.2; }
ol, ul { padding-left: 22px; }
footer { text-align: center; color: var(--muted); font-size: 13px; padding-bottom: 28px; }
[hidden] { display: none !important; }
@media (max-width: 480px) {
  header.band { padding: 22px 16px 56px; }
  header.band h1 { font-size: 22px; }
  .card { padding: 20px 16px 22px; border-radius: 12px; }
  .actions .button { width: 100%; }
}
)css";
}

}  // namespace kestrel::server
