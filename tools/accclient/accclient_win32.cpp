// accclient: reads the accessible trees of the shown toolkit windows of any process, as a screen
// reader does (AccessibleObjectFromWindow, AccessibleChildren, the IAccessible getters), and
// presses controls through accDoDefaultAction. Windows are searched from the top one down; the
// first node that matches wins.
//   accclient tree                        every shown window's nodes, one a line
//   accclient press NAME [WINDOW]         the default action of the node called NAME (in the
//                                         window called WINDOW)
//   accclient name DESCRIPTION            the name of the node so described (a label's text)
//   accclient value NAME                  the value of the node called NAME
//   accclient wait NAME [SECONDS]         until a node called NAME is shown (default 30 s)
//   accclient watch DESCRIPTION SECONDS [UNTIL] [--press NAME]
//                                         the described node's name, then each new one as its
//                                         name-change events come, for SECONDS or until UNTIL
//   accclient events SECONDS [--until KIND NAME]... [--press NAME]
//                                         every event of the toolkit's windows, one a line:
//                                         kind, name and description, tab-separated; until
//                                         each awaited event has come, in any order
// The listening commands install their hook first and then press NAME, so that nothing the
// press starts is missed.
// Exit codes: 0 done, 1 not found or timed out, 2 bad use.
#include "acc_nodes.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace accclient {

// The import library's IID_IAccessible is a data import that a static link resolves to its
// thunk, not to the GUID: take the interface's own declared id.
const IID kIidAccessible = __uuidof(IAccessible);

namespace {
constexpr wchar_t kHostClass[] = L"KestrelHost";
}  // namespace

bool IsHostWindow(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return std::wstring(name) == kHostClass;
}

void Print(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  bytes += '\n';
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

namespace {

std::wstring Take(BSTR text) {
  std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return out;
}

std::wstring TextOf(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), const Node& n) {
  BSTR text = nullptr;
  (n.object->*get)(Child(n.child), &text);
  return Take(text);
}

}  // namespace

std::wstring NameOf(const Node& n) {
  return TextOf(&IAccessible::get_accName, n);
}
std::wstring ValueOf(const Node& n) {
  return TextOf(&IAccessible::get_accValue, n);
}
std::wstring DescriptionOf(const Node& n) {
  return TextOf(&IAccessible::get_accDescription, n);
}
namespace {
std::wstring ActionOf(const Node& n) {
  return TextOf(&IAccessible::get_accDefaultAction, n);
}
long NumberOf(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), const Node& n) {
  VARIANT out;
  VariantInit(&out);
  if (FAILED((n.object->*get)(Child(n.child), &out)) || out.vt != VT_I4)
    return -1;
  return out.lVal;
}

void Walk(IAccessible* object, int depth, std::vector<Node>* nodes) {
  object->AddRef();
  nodes->push_back({object, CHILDID_SELF, depth});
  long count = 0;
  if (FAILED(object->get_accChildCount(&count)) || count <= 0)
    return;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  long got = 0;
  if (FAILED(AccessibleChildren(object, 0, count, children.data(), &got)))
    return;
  for (long i = 0; i < got; ++i) {
    VARIANT& v = children[static_cast<size_t>(i)];
    if (v.vt == VT_DISPATCH && v.pdispVal) {
      IAccessible* inner = nullptr;
      if (SUCCEEDED(v.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&inner)))) {
        Walk(inner, depth + 1, nodes);
        inner->Release();
      }
    } else if (v.vt == VT_I4) {
      object->AddRef();
      nodes->push_back({object, v.lVal, depth + 1});
    }
    VariantClear(&v);
  }
}

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM list) {
  if (IsWindowVisible(hwnd) && IsHostWindow(hwnd))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<Node> AllNodes(const std::wstring& window, bool report) {
  std::vector<HWND> windows;
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&windows));
  std::vector<Node> nodes;
  if (report)
    fprintf(stderr, "%u shown host windows\n", static_cast<unsigned>(windows.size()));
  for (HWND hwnd : windows) {
    IAccessible* root = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                            reinterpret_cast<void**>(&root));
    if (report && FAILED(hr)) {
      // Which side failed: the window's answer, or making the object from it here.
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT),
                          SMTO_ABORTIFHUNG, 5000, &answer);
      IAccessible* again = nullptr;
      HRESULT made = static_cast<LRESULT>(answer) > 0
                         ? ObjectFromLresult(static_cast<LRESULT>(answer), kIidAccessible, 0,
                                             reinterpret_cast<void**>(&again))
                         : E_UNEXPECTED;
      if (again)
        again->Release();
      fprintf(stderr, "window %p: 0x%08lx (answer 0x%llx, object 0x%08lx)\n",
              static_cast<void*>(hwnd), static_cast<unsigned long>(hr),
              static_cast<unsigned long long>(answer), static_cast<unsigned long>(made));
    }
    if (SUCCEEDED(hr) && root) {
      if (window.empty() || NameOf({root, CHILDID_SELF, 0}) == window)
        Walk(root, 0, &nodes);
      root->Release();
    }
  }
  return nodes;
}

void Free(std::vector<Node>& nodes) {
  for (Node& n : nodes)
    n.object->Release();
  nodes.clear();
}

int FindNode(const std::vector<Node>& nodes, const std::wstring& key, bool byDescription) {
  for (size_t i = 0; i < nodes.size(); ++i) {
    if ((byDescription ? DescriptionOf(nodes[i]) : NameOf(nodes[i])) == key)
      return static_cast<int>(i);
  }
  return -1;
}

namespace {

int Tree() {
  std::vector<Node> nodes = AllNodes(std::wstring(), true);
  for (const Node& n : nodes) {
    wchar_t head[64];
    swprintf(head, 64, L"role=%ld state=0x%lx", NumberOf(&IAccessible::get_accRole, n),
             static_cast<unsigned long>(NumberOf(&IAccessible::get_accState, n)));
    std::wstring line(static_cast<size_t>(n.depth) * 2, L' ');
    line += head;
    line += L" name=\"" + NameOf(n) + L"\"";
    std::wstring value = ValueOf(n), description = DescriptionOf(n), action = ActionOf(n);
    if (!value.empty())
      line += L" value=" + value;
    if (!description.empty())
      line += L" description=\"" + description + L"\"";
    if (!action.empty())
      line += L" action=" + action;
    Print(line);
  }
  bool any = !nodes.empty();
  Free(nodes);
  return any ? 0 : 1;
}

// Runs `use` on the first matching node; 1 when there is none.
template <class Use>
int WithNode(const std::wstring& key, bool byDescription, Use use,
             const std::wstring& window = std::wstring()) {
  std::vector<Node> nodes = AllNodes(window);
  int index = FindNode(nodes, key, byDescription);
  int code = index < 0 ? 1 : use(nodes[static_cast<size_t>(index)]);
  if (index < 0)
    Print(L"not found: " + key);
  Free(nodes);
  return code;
}

int Wait(const std::wstring& name, double seconds) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  do {
    std::vector<Node> nodes = AllNodes();
    bool found = FindNode(nodes, name, false) >= 0;
    Free(nodes);
    if (found)
      return 0;
    Sleep(200);
  } while (GetTickCount64() < end);
  Print(L"timed out waiting for: " + name);
  return 1;
}

}  // namespace

int Press(const std::wstring& name, const std::wstring& window) {
  return WithNode(
      name, false,
      [](const Node& n) { return SUCCEEDED(n.object->accDoDefaultAction(Child(n.child))) ? 0 : 1; },
      window);
}

}  // namespace accclient

int wmain(int argc, wchar_t** argv) {
  using namespace accclient;
  if (argc < 2)
    return 2;
  std::wstring command = argv[1];
  // "--press NAME" at the end: what a listening command presses once it listens.
  std::wstring press;
  if (argc >= 4 && std::wstring(argv[argc - 2]) == L"--press") {
    press = argv[argc - 1];
    argc -= 2;
  }
  // Lines end in "\n" alone, as the shell that reads them expects.
  _setmode(_fileno(stdout), _O_BINARY);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int code = 2;
  if (command == L"tree") {
    code = Tree();
  } else if (command == L"press" && argc >= 3) {
    code = Press(argv[2], argc >= 4 ? argv[3] : L"");
  } else if (command == L"name" && argc >= 3) {
    code = WithNode(argv[2], true, [](const Node& n) {
      Print(NameOf(n));
      return 0;
    });
  } else if (command == L"value" && argc >= 3) {
    code = WithNode(argv[2], false, [](const Node& n) {
      Print(ValueOf(n));
      return 0;
    });
  } else if (command == L"wait" && argc >= 3) {
    code = Wait(argv[2], argc >= 4 ? _wtof(argv[3]) : 30);
  } else if (command == L"watch" && argc >= 4) {
    code = Watch(argv[2], _wtof(argv[3]), argc >= 5 ? argv[4] : L"", press);
  } else if (command == L"events" && argc >= 3) {
    std::vector<std::pair<std::wstring, std::wstring>> until;
    int i = 3;
    for (; i + 2 < argc && std::wstring(argv[i]) == L"--until"; i += 3)
      until.emplace_back(argv[i + 1], argv[i + 2]);
    code = i == argc ? Events(_wtof(argv[2]), until, press) : 2;
  }
  CoUninitialize();
  return code;
}
