#include "process_counters_win32.h"

// After windows.h, whose types they use.
#include <dshow.h>
#include <tlhelp32.h>

#include <thread>
#include <vector>

namespace camprobe_test {

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
  }
  CloseHandle(snapshot);
  return count;
}

// Wine has no process handle count; its system handle table lists every process's handles.
DWORD HandleCount() {
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  struct Entry {
    ULONG process;
    UCHAR type;
    UCHAR flags;
    USHORT handle;
    void* object;
    ULONG access;
  };
  std::vector<unsigned char> table(1 << 20);
  ULONG size = 0;
  constexpr int kSystemHandleInformation = 16;
  while (query != nullptr &&
         query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()), &size) ==
             static_cast<LONG>(0xC0000004L)) {
    table.resize(table.size() * 2);
  }
  const ULONG entries = *reinterpret_cast<ULONG*>(table.data());
  const auto* entry = reinterpret_cast<const Entry*>(table.data() + sizeof(void*));
  DWORD count = 0;
  for (ULONG i = 0; i < entries && sizeof(void*) + (i + 1) * sizeof(Entry) <= table.size(); ++i) {
    count += entry[i].process == GetCurrentProcessId() ? 1 : 0;
  }
  return count;
}

// Wine's device enumerator keeps registry handles open (one per listing and one per device
// listed), and each filter graph one more. Measured here on a thread of its own, so that
// CamProbe's own handles can be told from them.
DWORD WineLeak(int listings, int graphs) {
  DWORD before = 0, after = 0;
  std::thread probe([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const auto list = [] {
      ICreateDevEnum* system = nullptr;
      if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICreateDevEnum, reinterpret_cast<void**>(&system)))) {
        return;
      }
      IEnumMoniker* devices = nullptr;
      if (system->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &devices, 0) == S_OK) {
        IMoniker* moniker = nullptr;
        while (devices->Next(1, &moniker, nullptr) == S_OK) {
          moniker->Release();
        }
        devices->Release();
      }
      system->Release();
    };
    list();
    before = HandleCount();
    for (int i = 0; i < listings; ++i) {
      list();
    }
    for (int i = 0; i < graphs; ++i) {
      IGraphBuilder* graph = nullptr;
      if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IGraphBuilder, reinterpret_cast<void**>(&graph)))) {
        graph->Release();
      }
    }
    after = HandleCount();
    CoUninitialize();
  });
  probe.join();
  return after - before;
}

// CPU time (100 ns units) of this process's threads, by the file name of the module each
// thread started in, so that CamProbe's share can be told from the camera's and Wine's.
std::map<std::wstring, ULONGLONG> CpuByModule() {
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
  constexpr int kThreadStartAddress = 9;
  std::map<std::wstring, ULONGLONG> cpu;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != GetCurrentProcessId()) {
      continue;
    }
    HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread == nullptr) {
      continue;
    }
    void* start = nullptr;
    std::wstring module = L"?";
    HMODULE owner = nullptr;
    wchar_t path[MAX_PATH];
    if (query != nullptr &&
        query(thread, kThreadStartAddress, &start, sizeof(start), nullptr) == 0 &&
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(start), &owner) &&
        GetModuleFileNameW(owner, path, MAX_PATH) > 0) {
      module = path;
      module = module.substr(module.find_last_of(L"\\/") + 1);
    }
    FILETIME created, ended, kernel, user;
    if (GetThreadTimes(thread, &created, &ended, &kernel, &user)) {
      const auto ticks = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
      };
      cpu[module] += ticks(kernel) + ticks(user);
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return cpu;
}

int SettledThreads(int before) {
  int now = ThreadCount();
  for (int i = 0; i < 80 && now != before; ++i) {
    Sleep(100);
    now = ThreadCount();
  }
  return now;
}

}  // namespace camprobe_test
