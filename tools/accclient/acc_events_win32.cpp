// The reader's listening commands: WinEvents of the toolkit's windows in other processes, taken
// with an out-of-context hook (SetWinEventHook, WINEVENT_OUTOFCONTEXT) as screen readers take
// them, each resolved to its node and read there.
#include <deque>
#include <functional>

#include "acc_nodes.h"

namespace accclient {
namespace {

struct Kind {
  DWORD event;
  const wchar_t* word;
};

const Kind kKinds[] = {
    {EVENT_OBJECT_FOCUS, L"focus"},
    {EVENT_OBJECT_NAMECHANGE, L"name"},
    {EVENT_OBJECT_VALUECHANGE, L"value"},
    {EVENT_OBJECT_STATECHANGE, L"state"},
    {EVENT_OBJECT_SELECTION, L"selection"},
    {EVENT_OBJECT_SHOW, L"show"},
    {EVENT_OBJECT_HIDE, L"hide"},
    {EVENT_OBJECT_REORDER, L"reorder"},
    {EVENT_SYSTEM_DIALOGSTART, L"dialogstart"},
    {EVENT_SYSTEM_DIALOGEND, L"dialogend"},
};

const wchar_t* KindOf(DWORD event) {
  for (const Kind& kind : kKinds) {
    if (kind.event == event)
      return kind.word;
  }
  return nullptr;
}

// An event as the hook reported it; read only once the hook's call has returned.
struct Raw {
  DWORD event;
  HWND hwnd;
  LONG object, child;
};

// What an event says, read from its node.
struct Seen {
  std::wstring kind, name, description;
};

// Reading a node calls into the other process, and a call out of this apartment may dispatch
// the next hook calls meanwhile: the hook only queues, the loop reads.
std::deque<Raw> g_queue;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD,
                         DWORD) {
  if (KindOf(event) && hwnd && IsHostWindow(hwnd))
    g_queue.push_back({event, hwnd, object, child});
}

// The node an event names: the window's object, then the child object or element it names
// (the steps of AccessibleObjectFromEvent).
bool NodeOfEvent(const Raw& raw, Node* out) {
  IAccessible* root = nullptr;
  if (FAILED(AccessibleObjectFromWindow(raw.hwnd, static_cast<DWORD>(raw.object), kIidAccessible,
                                        reinterpret_cast<void**>(&root))) ||
      !root)
    return false;
  *out = {root, raw.child, 0};
  if (raw.child == CHILDID_SELF)
    return true;
  IDispatch* inner = nullptr;
  if (root->get_accChild(Child(raw.child), &inner) == S_OK && inner) {
    IAccessible* object = nullptr;
    if (SUCCEEDED(inner->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&object))) &&
        object) {
      root->Release();
      *out = {object, CHILDID_SELF, 0};
    }
    inner->Release();
  }
  return true;
}

Seen Read(const Raw& raw) {
  Seen seen{KindOf(raw.event), L"", L""};
  Node node;
  if (NodeOfEvent(raw, &node)) {
    seen.name = NameOf(node);
    seen.description = DescriptionOf(node);
    node.object->Release();
  }
  return seen;
}

enum class Heard { kEnough, kTimeUp, kFailed };

// Listens for `seconds`, pressing `press` once the hook is in; `handle` gets each event and
// says when it has seen enough.
Heard Listen(double seconds, const std::wstring& press,
             const std::function<bool(const Seen&)>& handle) {
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnWinEvent, 0, 0,
                                       WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
  if (!hook) {
    Print(L"no event hook");
    return Heard::kFailed;
  }
  if (!press.empty() && Press(press) != 0) {
    UnhookWinEvent(hook);
    return Heard::kFailed;
  }
  bool done = false;
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  for (ULONGLONG now = GetTickCount64(); !done && now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
    while (!done && !g_queue.empty()) {
      Raw raw = g_queue.front();
      g_queue.pop_front();
      done = handle(Read(raw));
    }
  }
  UnhookWinEvent(hook);
  return done ? Heard::kEnough : Heard::kTimeUp;
}

}  // namespace

int Watch(const std::wstring& description, double seconds, const std::wstring& until,
          const std::wstring& press) {
  // The name it has now, then the names its events bring.
  std::wstring last;
  bool seen = false;
  std::vector<Node> nodes = AllNodes();
  int index = FindNode(nodes, description, true);
  if (index >= 0) {
    last = NameOf(nodes[static_cast<size_t>(index)]);
    seen = true;
    Print(last);
  }
  Free(nodes);
  if (seen && !until.empty() && last == until)
    return 0;
  Heard heard = Listen(seconds, press, [&](const Seen& event) {
    if (event.kind != L"name" || event.description != description)
      return false;
    if (!seen || event.name != last)
      Print(event.name);
    seen = true;
    last = event.name;
    return !until.empty() && last == until;
  });
  if (heard == Heard::kFailed)
    return 1;
  return heard == Heard::kEnough || (seen && until.empty()) ? 0 : 1;
}

int Events(double seconds, std::vector<std::pair<std::wstring, std::wstring>> until,
           const std::wstring& press) {
  // Events of one step may come in either order: it ends once each awaited one has come.
  bool awaited = !until.empty();
  Heard heard = Listen(seconds, press, [&](const Seen& event) {
    Print(event.kind + L"\t" + event.name + L"\t" + event.description);
    for (auto it = until.begin(); it != until.end(); ++it) {
      if (it->first == event.kind && it->second == event.name) {
        until.erase(it);
        break;
      }
    }
    return awaited && until.empty();
  });
  if (heard == Heard::kFailed)
    return 1;
  return heard == Heard::kEnough || !awaited ? 0 : 1;
}

}  // namespace accclient
