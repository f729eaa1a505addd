// The IAccessible objects of a host window. The window's client object (node 0) and every node
// with nodes below it are objects; the others are simple elements named by their accessible id,
// which any object of the window accepts. Every call reads a fresh snapshot of the tree, so an
// id stays valid as long as its control is shown.
#include "accessible_win32.h"

#include <oleacc.h>

// COM interfaces are released through Release, never deleted through their base.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

#include <cmath>
#include <string>
#include <vector>

// The import library's IID_IAccessible is a data import that a static link resolves to its
// thunk, not to the GUID: take the interface's own declared id.
const IID kIidAccessible = __uuidof(IAccessible);

namespace toolkit {

struct AccConnection {
  HWND hwnd = nullptr;
  INativeWindowSink* sink = nullptr;
  float scale = 1;
  bool Live() const { return hwnd && sink; }
};

namespace {

LONG RoleOf(AccRole role) {
  switch (role) {
    case AccRole::kDialog:
      return ROLE_SYSTEM_DIALOG;
    case AccRole::kMenuPopup:
      return ROLE_SYSTEM_MENUPOPUP;
    case AccRole::kButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccRole::kCheckBox:
      return ROLE_SYSTEM_CHECKBUTTON;
    case AccRole::kLink:
      return ROLE_SYSTEM_LINK;
    case AccRole::kStaticText:
      return ROLE_SYSTEM_STATICTEXT;
    case AccRole::kEditText:
      return ROLE_SYSTEM_TEXT;
    case AccRole::kProgressBar:
      return ROLE_SYSTEM_PROGRESSBAR;
    case AccRole::kSlider:
      return ROLE_SYSTEM_SLIDER;
    case AccRole::kList:
      return ROLE_SYSTEM_LIST;
    case AccRole::kListItem:
      return ROLE_SYSTEM_LISTITEM;
    case AccRole::kPageTabList:
      return ROLE_SYSTEM_PAGETABLIST;
    case AccRole::kPropertyPage:
      return ROLE_SYSTEM_PROPERTYPAGE;
    case AccRole::kGraphic:
      return ROLE_SYSTEM_GRAPHIC;
    case AccRole::kAnimation:
      return ROLE_SYSTEM_ANIMATION;
    case AccRole::kWindow:
    case AccRole::kNone:
      break;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG StateOf(unsigned state) {
  struct Bit {
    unsigned ours;
    LONG theirs;
  };
  static const Bit kBits[] = {
      {kAccFocused, STATE_SYSTEM_FOCUSED},         {kAccFocusable, STATE_SYSTEM_FOCUSABLE},
      {kAccUnavailable, STATE_SYSTEM_UNAVAILABLE}, {kAccChecked, STATE_SYSTEM_CHECKED},
      {kAccInvisible, STATE_SYSTEM_INVISIBLE},     {kAccSelected, STATE_SYSTEM_SELECTED},
      {kAccSelectable, STATE_SYSTEM_SELECTABLE},   {kAccReadOnly, STATE_SYSTEM_READONLY},
      {kAccLinked, STATE_SYSTEM_LINKED},
  };
  LONG result = 0;
  for (const Bit& bit : kBits) {
    if (state & bit.ours)
      result |= bit.theirs;
  }
  return result;
}

DWORD WinEventOf(AccEvent event) {
  switch (event) {
    case AccEvent::kFocus:
      return EVENT_OBJECT_FOCUS;
    case AccEvent::kNameChange:
      return EVENT_OBJECT_NAMECHANGE;
    case AccEvent::kValueChange:
      return EVENT_OBJECT_VALUECHANGE;
    case AccEvent::kStateChange:
      return EVENT_OBJECT_STATECHANGE;
    case AccEvent::kSelection:
      return EVENT_OBJECT_SELECTION;
    case AccEvent::kShow:
      return EVENT_OBJECT_SHOW;
    case AccEvent::kHide:
      return EVENT_OBJECT_HIDE;
    case AccEvent::kDialogStart:
      return EVENT_SYSTEM_DIALOGSTART;
    case AccEvent::kDialogEnd:
      return EVENT_SYSTEM_DIALOGEND;
    case AccEvent::kReorder:
      break;
  }
  return EVENT_OBJECT_REORDER;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
  if (!out)
    return E_INVALIDARG;
  *out = nullptr;
  if (text.empty())
    return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// One object per node that has nodes below it; it also enumerates its children as child ids.
class NodeObject : public IAccessible, public IEnumVARIANT {
 public:
  NodeObject(std::shared_ptr<AccConnection> connection, long id)
      : connection_(std::move(connection)), id_(id) {}

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == IID_IEnumVARIANT) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left)
      delete this;
    return left;
  }

  // --- IEnumVARIANT: the children, read afresh at each call ---
  // A child with nodes below it is handed out as its object, the others as child ids: readers
  // (AccessibleChildren passes on what this gives) walk only into objects, so a list given as
  // a bare id would show no items.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (!out)
      return E_POINTER;
    AccTree tree;
    int self = Resolve(tree, CHILDID_SELF);
    std::vector<int> children = self < 0 ? std::vector<int>() : tree.ChildrenOf(self);
    ULONG given = 0;
    for (; given < count && cursor_ < children.size(); ++given, ++cursor_) {
      VariantInit(&out[given]);
      Give(tree, children[cursor_], &out[given]);
    }
    if (fetched)
      *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    cursor_ += count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out)
      return E_POINTER;
    auto* copy = new NodeObject(connection_, id_);
    copy->cursor_ = cursor_;
    *out = static_cast<IEnumVARIANT*>(copy);
    return S_OK;
  }

  // --- IDispatch: readers use the IAccessible methods directly ---
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count)
      *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // --- IAccessible ---
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    AccTree tree;
    int self = Resolve(tree, CHILDID_SELF);
    if (self < 0)
      return CO_E_OBJNOTCONNECTED;
    if (self == 0)
      return AccessibleObjectFromWindow(connection_->hwnd, static_cast<DWORD>(OBJID_WINDOW),
                                        IID_IDispatch, reinterpret_cast<void**>(out));
    int parent = tree.Nodes()[static_cast<size_t>(self)].parent;
    *out = new NodeObject(connection_, tree.Nodes()[static_cast<size_t>(parent)].id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count)
      return E_POINTER;
    AccTree tree;
    int self = Resolve(tree, CHILDID_SELF);
    if (self < 0)
      return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(tree.ChildrenOf(self).size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    AccTree tree;
    int index = Resolve(tree, child);
    if (index < 0)
      return E_INVALIDARG;
    // Nodes without nodes below them are simple elements of their parent's object.
    if (index == 0 || tree.ChildrenOf(index).empty())
      return S_FALSE;
    *out = new NodeObject(connection_, tree.Nodes()[static_cast<size_t>(index)].id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccNode& node) { return node.name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccNode& node) { return node.value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return Read(child, out, [](const AccNode& node) { return node.description; });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return Read(child, out,
                [](const AccNode& node) { return std::wstring(AccActionName(node.action)); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return Number(child, out, [](const AccNode& node) { return RoleOf(node.role); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return Number(child, out, [](const AccNode& node) { return StateOf(node.state); });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
    return Text(std::wstring(), out);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file)
      *file = nullptr;
    if (topic)
      *topic = -1;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override {
    return Text(std::wstring(), out);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    return Pick(out, [](const AccTree& tree) { return tree.Focus(); });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    return Pick(out, [](const AccTree& tree) {
      for (size_t i = 1; i < tree.Nodes().size(); ++i) {
        if (tree.Nodes()[i].state & kAccSelected)
          return static_cast<int>(i);
      }
      return -1;
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    AccTree tree;
    int index = Resolve(tree, child);
    if (index <= 0)
      return index < 0 ? E_INVALIDARG : S_FALSE;
    long id = tree.Nodes()[static_cast<size_t>(index)].id;
    if ((flags & SELFLAG_TAKEFOCUS) && !connection_->sink->FocusAccessible(id))
      return S_FALSE;
    if (flags & SELFLAG_TAKESELECTION)
      PostMessageW(connection_->hwnd, WindowAccessibility::kActionMessage, static_cast<WPARAM>(id),
                   0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h,
                                        VARIANT child) override {
    if (!x || !y || !w || !h)
      return E_POINTER;
    AccTree tree;
    int index = Resolve(tree, child);
    if (index < 0)
      return E_INVALIDARG;
    const RectF& r = tree.Nodes()[static_cast<size_t>(index)].rect;
    float k = connection_->scale;
    POINT origin{std::lround(r.x * k), std::lround(r.y * k)};
    ClientToScreen(connection_->hwnd, &origin);
    *x = origin.x;
    *y = origin.y;
    *w = std::lround(r.w * k);
    *h = std::lround(r.h * k);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* out) override {
    if (out)
      VariantInit(out);
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
    if (!out)
      return E_POINTER;
    VariantInit(out);
    AccTree tree;
    if (Resolve(tree, CHILDID_SELF) < 0)
      return CO_E_OBJNOTCONNECTED;
    POINT at{x, y};
    ScreenToClient(connection_->hwnd, &at);
    float k = connection_->scale;
    int hit = tree.HitTest({static_cast<float>(at.x) / k, static_cast<float>(at.y) / k});
    if (hit < 0)
      return S_FALSE;
    return Give(tree, hit, out);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccTree tree;
    int index = Resolve(tree, child);
    if (index < 0)
      return E_INVALIDARG;
    const AccNode& node = tree.Nodes()[static_cast<size_t>(index)];
    if (node.action == AccAction::kNone || (node.state & kAccUnavailable))
      return DISP_E_MEMBERNOTFOUND;
    PostMessageW(connection_->hwnd, WindowAccessibility::kActionMessage,
                 static_cast<WPARAM>(node.id), 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  virtual ~NodeObject() = default;

  // Fills `tree` and returns the index of the node `child` names (CHILDID_SELF: this object's);
  // -1 when the window is gone or the node is not shown.
  int Resolve(AccTree& tree, const VARIANT& child) const {
    if (!connection_->Live())
      return -1;
    tree = connection_->sink->GetAccessibleTree();
    if (child.vt != VT_I4)
      return -1;
    long id = child.lVal == CHILDID_SELF ? id_ : child.lVal;
    return tree.IndexOf(id);
  }
  int Resolve(AccTree& tree, long self) const {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = self;
    return Resolve(tree, v);
  }
  template <class Get>
  HRESULT Read(const VARIANT& child, BSTR* out, Get get) const {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    AccTree tree;
    int index = Resolve(tree, child);
    if (index < 0)
      return connection_->Live() ? E_INVALIDARG : CO_E_OBJNOTCONNECTED;
    return Text(get(tree.Nodes()[static_cast<size_t>(index)]), out);
  }
  template <class Get>
  HRESULT Number(const VARIANT& child, VARIANT* out, Get get) const {
    if (!out)
      return E_POINTER;
    VariantInit(out);
    AccTree tree;
    int index = Resolve(tree, child);
    if (index < 0)
      return connection_->Live() ? E_INVALIDARG : CO_E_OBJNOTCONNECTED;
    out->vt = VT_I4;
    out->lVal = get(tree.Nodes()[static_cast<size_t>(index)]);
    return S_OK;
  }
  template <class Choose>
  HRESULT Pick(VARIANT* out, Choose choose) {
    if (!out)
      return E_POINTER;
    VariantInit(out);
    AccTree tree;
    if (Resolve(tree, CHILDID_SELF) < 0)
      return CO_E_OBJNOTCONNECTED;
    int index = choose(tree);
    if (index < 0)
      return S_FALSE;
    return Give(tree, index, out);
  }
  // Node `index` as readers expect it: this object itself, a child object, or a child id.
  HRESULT Give(const AccTree& tree, int index, VARIANT* out) {
    long id = tree.Nodes()[static_cast<size_t>(index)].id;
    if (id == id_) {
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
    } else if (!tree.ChildrenOf(index).empty()) {
      out->vt = VT_DISPATCH;
      out->pdispVal = new NodeObject(connection_, id);
    } else {
      out->vt = VT_I4;
      out->lVal = id;
    }
    return S_OK;
  }

  std::shared_ptr<AccConnection> connection_;
  long id_;
  size_t cursor_ = 0;
  ULONG refs_ = 1;
};

}  // namespace

WindowAccessibility::WindowAccessibility() : connection_(std::make_shared<AccConnection>()) {}

WindowAccessibility::~WindowAccessibility() {
  Disconnect();
}

void WindowAccessibility::Connect(HWND hwnd, float scale) {
  connection_->hwnd = hwnd;
  connection_->scale = scale;
}

void WindowAccessibility::SetSink(INativeWindowSink* sink) {
  connection_->sink = sink;
}

void WindowAccessibility::Disconnect() {
  connection_->hwnd = nullptr;
  connection_->sink = nullptr;
}

LRESULT WindowAccessibility::OnGetObject(WPARAM wp, LPARAM lp) {
  if (static_cast<LONG>(lp) != static_cast<LONG>(OBJID_CLIENT) || !connection_->Live())
    return DefWindowProcW(connection_->hwnd, WM_GETOBJECT, wp, lp);
  auto* root = new NodeObject(connection_, 0);
  LRESULT result = LresultFromObject(kIidAccessible, wp, static_cast<IAccessible*>(root));
  root->Release();
  return result;
}

void WindowAccessibility::OnAction(WPARAM id) {
  if (connection_->Live())
    connection_->sink->DoAccessibleAction(static_cast<long>(id));
}

void WindowAccessibility::Notify(AccEvent event, long id) {
  if (connection_->hwnd)
    NotifyWinEvent(WinEventOf(event), connection_->hwnd, OBJID_CLIENT, id == 0 ? CHILDID_SELF : id);
}

}  // namespace toolkit
