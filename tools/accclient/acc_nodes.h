// The reader's nodes: one node of another process's accessible tree as the reader holds it, and
// the operations the tree commands and the event listener share.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

namespace accclient {

extern const IID kIidAccessible;

struct Node {
  IAccessible* object = nullptr;  // the object the node belongs to (held)
  long child = CHILDID_SELF;
  int depth = 0;
};

// One line of UTF-8 on standard output.
void Print(const std::wstring& text);
VARIANT Child(long id);
std::wstring NameOf(const Node& n);
std::wstring ValueOf(const Node& n);
std::wstring DescriptionOf(const Node& n);
// Whether `hwnd` is one of the toolkit's host windows.
bool IsHostWindow(HWND hwnd);

// Every node of every shown host window (or of those called `window`), the top window first.
// With `report`, says on standard error which windows it found and what asking them gave.
std::vector<Node> AllNodes(const std::wstring& window = std::wstring(), bool report = false);
void Free(std::vector<Node>& nodes);
// The first node whose name (or, with `byDescription`, description) is `key`; -1 for none.
int FindNode(const std::vector<Node>& nodes, const std::wstring& key, bool byDescription);
// The default action of the first node called `name` (in the window called `window`): 0 done.
int Press(const std::wstring& name, const std::wstring& window = std::wstring());

// The listening commands (acc_events_win32.cpp): each listens first, then presses `press`.
int Watch(const std::wstring& description, double seconds, const std::wstring& until,
          const std::wstring& press);
int Events(double seconds, std::vector<std::pair<std::wstring, std::wstring>> until,
           const std::wstring& press);

}  // namespace accclient
