// The end-to-end tests' eyes inside Wine: a console program run in the same prefix (and so the same
// wineserver) as the program under test. It reads top-level windows, their controls, the focus, the
// registry and process memory, writes registry test values, and waits for window conditions with a
// bounded timeout. Every command prints one JSON document on stdout; exit code 0 means the command
// succeeded (or the wait was met), 1 a timeout or a missing object, 2 a usage error.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// ---- output
// ---------------------------------------------------------------------------------------

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string Quote(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : Utf8(text)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Num(long long value) {
    return std::to_string(value);
}

std::string Bool(bool value) {
    return value ? "true" : "false";
}

std::string Hex(const BYTE* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
    }
    return out;
}

std::string Rect(const RECT& rect) {
    return "[" + Num(rect.left) + "," + Num(rect.top) + "," + Num(rect.right) + "," +
           Num(rect.bottom) + "]";
}

// A JSON object built field by field.
class Object {
  public:
    Object& Add(const char* key, const std::string& json) {
        text_ += (text_.empty() ? "{" : ",") + std::string("\"") + key + "\":" + json;
        return *this;
    }
    std::string Str() const { return text_.empty() ? "{}" : text_ + "}"; }

  private:
    std::string text_;
};

std::string Array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
    return out + "]";
}

void Print(const std::string& json) {
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---- owned handles
// ----------------------------------------------------------------------------------

class Key {
  public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_) CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    void* Get() const { return address_; }

  private:
    HANDLE process_;
    void* address_;
};

class ScreenDc {
  public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

class MemoryDc {
  public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// A 32-bit top-down DIB section selected into its own memory DC.
class Pixels {
  public:
    Pixels(HDC like, int width, int height) : dc_(like), width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const DWORD*>(bits);
        if (bitmap_) old_ = SelectObject(dc_.Get(), bitmap_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    ~Pixels() {
        if (old_) SelectObject(dc_.Get(), old_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    bool Ok() const { return bitmap_ != nullptr && bits_ != nullptr; }
    HDC Dc() const { return dc_.Get(); }
    DWORD At(size_t index) const { return bits_[index]; }
    size_t Count() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

  private:
    MemoryDc dc_;
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const DWORD* bits_ = nullptr;
};

// ---- windows
// ----------------------------------------------------------------------------------------

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

// Reads a window's text through WM_GETTEXT, which also works for controls of other processes.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

struct Selector {
    std::wstring className;
    std::wstring title;
    bool hasTitle = false;
    DWORD pid = 0;
    bool includeHidden = false;
};

bool Matches(HWND hwnd, const Selector& selector) {
    if (!selector.includeHidden && !IsWindowVisible(hwnd)) return false;
    if (!selector.className.empty() && ClassOf(hwnd) != selector.className) return false;
    if (selector.hasTitle && TextOf(hwnd) != selector.title) return false;
    if (selector.pid != 0) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid != selector.pid) return false;
    }
    return true;
}

std::vector<HWND> TopLevel(const Selector& selector) {
    struct Search {
        const Selector* selector;
        std::vector<HWND> found;
    } search{&selector, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* state = reinterpret_cast<Search*>(param);
            if (Matches(hwnd, *state->selector)) state->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND hwnd, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

long long HandleValue(HWND hwnd) {
    return static_cast<long long>(reinterpret_cast<INT_PTR>(hwnd));
}

bool IsButton(HWND hwnd) {
    return _wcsicmp(ClassOf(hwnd).c_str(), L"Button") == 0;
}

// The check state of a button; -1 for other controls.
long long CheckOf(HWND hwnd) {
    if (!IsButton(hwnd)) return -1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(hwnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return -1;
    return static_cast<long long>(state);
}

RECT RectInClient(HWND child, HWND top) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Which stock icon a message box's icon control shows. Another process's HICON cannot be read, so
// the control's pixels are compared with each stock icon drawn over them: the right one changes
// (almost) nothing.
std::string IconName(HWND iconControl) {
    RECT rect{};
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return "none";
    ScreenDc screen;
    Pixels shown(screen.Get(), width, height);
    Pixels redrawn(screen.Get(), width, height);
    if (!shown.Ok() || !redrawn.Ok()) return "unknown";
    BitBlt(shown.Dc(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    struct Candidate {
        const char* name;
        LPCWSTR id;
    };
    const Candidate candidates[] = {{"information", IDI_INFORMATION},
                                    {"error", IDI_ERROR},
                                    {"warning", IDI_WARNING},
                                    {"question", IDI_QUESTION}};
    std::string best = "none";
    double bestScore = 1e300;
    double runnerUp = 1e300;
    for (const Candidate& candidate : candidates) {
        HICON icon = LoadIconW(nullptr, candidate.id);  // shared: never destroyed
        if (!icon) continue;
        BitBlt(redrawn.Dc(), 0, 0, width, height, shown.Dc(), 0, 0, SRCCOPY);
        DrawIconEx(redrawn.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        double score = 0;
        for (size_t i = 0; i < shown.Count(); ++i) {
            const DWORD a = shown.At(i);
            const DWORD b = redrawn.At(i);
            for (int shift = 0; shift < 24; shift += 8) {
                const int diff =
                    static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
                score += diff < 0 ? -diff : diff;
            }
        }
        score /= static_cast<double>(shown.Count());
        if (score < bestScore) {
            runnerUp = bestScore;
            bestScore = score;
            best = candidate.name;
        } else if (score < runnerUp) {
            runnerUp = score;
        }
    }
    // Alpha-blended edges change a little when drawn twice; a wrong icon changes a lot.
    return bestScore * 2 < runnerUp ? best : "unknown";
}

std::string ControlJson(HWND child, HWND top) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    Object object;
    object.Add("hwnd", Num(HandleValue(child)))
        .Add("parent", Num(HandleValue(GetParent(child))))
        .Add("id", Num(GetDlgCtrlID(child)))
        .Add("class", Quote(ClassOf(child)))
        .Add("text", Quote(TextOf(child)))
        .Add("rect", Rect(RectInClient(child, top)))
        .Add("style", Num(static_cast<long long>(static_cast<ULONG>(style))))
        .Add("exstyle",
             Num(static_cast<long long>(static_cast<ULONG>(GetWindowLongW(child, GWL_EXSTYLE)))))
        .Add("visible", Bool(IsWindowVisible(child) != FALSE))
        .Add("enabled", Bool(IsWindowEnabled(child) != FALSE))
        .Add("check", Num(CheckOf(child)));
    if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
        object.Add("icon", "\"" + IconName(child) + "\"");
    return object.Str();
}

std::string FocusJson(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) return "null";
    return Object()
        .Add("hwnd", Num(HandleValue(info.hwndFocus)))
        .Add("id", Num(GetDlgCtrlID(info.hwndFocus)))
        .Add("class", Quote(ClassOf(info.hwndFocus)))
        .Add("text", Quote(TextOf(info.hwndFocus)))
        .Add("active", Num(HandleValue(info.hwndActive)))
        .Str();
}

std::string WindowJson(HWND hwnd, bool withChildren) {
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(hwnd, &pid);
    RECT window{};
    GetWindowRect(hwnd, &window);
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    Object object;
    object.Add("hwnd", Num(HandleValue(hwnd)))
        .Add("class", Quote(ClassOf(hwnd)))
        .Add("title", Quote(TextOf(hwnd)))
        .Add("pid", Num(pid))
        .Add("tid", Num(thread))
        .Add("visible", Bool(IsWindowVisible(hwnd) != FALSE))
        .Add("style",
             Num(static_cast<long long>(static_cast<ULONG>(GetWindowLongW(hwnd, GWL_STYLE)))))
        .Add("exstyle",
             Num(static_cast<long long>(static_cast<ULONG>(GetWindowLongW(hwnd, GWL_EXSTYLE)))))
        .Add("owner", Num(HandleValue(GetWindow(hwnd, GW_OWNER))))
        .Add("rect", Rect(window))
        .Add("client", "[" + Num(origin.x) + "," + Num(origin.y) + "," + Num(client.right) + "," +
                           Num(client.bottom) + "]")
        .Add("foreground", Bool(GetForegroundWindow() == hwnd))
        .Add("screen", "[" + Num(GetSystemMetrics(SM_CXSCREEN)) + "," +
                           Num(GetSystemMetrics(SM_CYSCREEN)) + "]");
    if (withChildren) {
        std::vector<std::string> children;
        for (HWND child : Descendants(hwnd)) children.push_back(ControlJson(child, hwnd));
        object.Add("children", Array(children)).Add("focus", FocusJson(thread));
    }
    return object.Str();
}

// ---- tooltips
// ---------------------------------------------------------------------------------------

// The tools of every tooltip window of a process, read through memory in that process.
std::string TooltipsJson(DWORD pid) {
    Selector selector;
    selector.className = TOOLTIPS_CLASSW;
    selector.pid = pid;
    selector.includeHidden = true;
    const Handle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process.Get()) return "null";
    constexpr size_t kTextChars = 1024;
    const RemoteMemory remote(process.Get(), sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t));
    if (!remote.Get()) return "null";
    auto* remoteInfo = static_cast<BYTE*>(remote.Get());
    auto* remoteText = reinterpret_cast<wchar_t*>(remoteInfo + sizeof(TTTOOLINFOW));
    std::vector<std::string> tools;
    for (HWND tooltip : TopLevel(selector)) {
        const auto count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            TTTOOLINFOW info{};
            info.cbSize = sizeof info;
            info.lpszText = remoteText;
            const wchar_t empty[1] = {L'\0'};
            WriteProcessMemory(process.Get(), remoteText, empty, sizeof empty, nullptr);
            WriteProcessMemory(process.Get(), remoteInfo, &info, sizeof info, nullptr);
            if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(remoteInfo)))
                continue;
            ReadProcessMemory(process.Get(), remoteInfo, &info, sizeof info, nullptr);
            std::wstring text;
            if (info.lpszText == remoteText) {
                std::vector<wchar_t> buffer(kTextChars, L'\0');
                ReadProcessMemory(process.Get(), remoteText, buffer.data(),
                                  (kTextChars - 1) * sizeof(wchar_t), nullptr);
                text = buffer.data();
            }
            HWND tool = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : nullptr;
            tools.push_back(Object()
                                .Add("tooltip", Num(HandleValue(tooltip)))
                                .Add("tool", Num(HandleValue(tool)))
                                .Add("id", Num(tool ? GetDlgCtrlID(tool) : -1))
                                .Add("text", Quote(text))
                                .Add("resolved", Bool(info.lpszText == remoteText))
                                .Str());
        }
    }
    return Array(tools);
}

// ---- registry
// ---------------------------------------------------------------------------------------

// Everything under a key of HKEY_CURRENT_USER: its class, values (type and raw bytes) and subkeys.
std::string RegistryJson(const std::wstring& path) {
    Key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return Object().Add("exists", "false").Str();
    wchar_t className[256] = {};
    DWORD classLength = 256;
    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    DWORD maxName = 0;
    DWORD maxData = 0;
    DWORD maxSubkey = 0;
    RegQueryInfoKeyW(key.Get(), className, &classLength, nullptr, &subkeyCount, &maxSubkey, nullptr,
                     &valueCount, &maxName, &maxData, nullptr, nullptr);
    std::vector<std::string> values;
    for (DWORD i = 0; i < valueCount; ++i) {
        std::wstring name(maxName + 2, L'\0');
        DWORD nameLength = maxName + 2;
        std::vector<BYTE> data(maxData + 2);
        DWORD dataSize = maxData + 2;
        DWORD type = 0;
        if (RegEnumValueW(key.Get(), i, name.data(), &nameLength, nullptr, &type, data.data(),
                          &dataSize) != ERROR_SUCCESS)
            continue;
        name.resize(nameLength);
        values.push_back(Object()
                             .Add("name", Quote(name))
                             .Add("type", Num(type))
                             .Add("hex", "\"" + Hex(data.data(), dataSize) + "\"")
                             .Str());
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0; i < subkeyCount; ++i) {
        std::wstring name(maxSubkey + 2, L'\0');
        DWORD nameLength = maxSubkey + 2;
        if (RegEnumKeyExW(key.Get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            continue;
        name.resize(nameLength);
        subkeys.push_back(Quote(name));
    }
    return Object()
        .Add("exists", "true")
        .Add("class", Quote(std::wstring(className, classLength)))
        .Add("values", Array(values))
        .Add("subkeys", Array(subkeys))
        .Str();
}

bool ParseHex(const std::wstring& hex, std::vector<BYTE>& out) {
    if (hex.size() % 2 != 0) return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        wchar_t* end = nullptr;
        const std::wstring pair = hex.substr(i, 2);
        const unsigned long byte = std::wcstoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) return false;
        out.push_back(static_cast<BYTE>(byte));
    }
    return true;
}

int SetValue(const std::wstring& path, const std::wstring& name, DWORD type,
             const std::wstring& hex) {
    std::vector<BYTE> data;
    if (!ParseHex(hex, data)) return 2;
    Key key;
    LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.Out(), nullptr);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.Get(), name.c_str(), 0, type, data.data(),
                                static_cast<DWORD>(data.size()));
    Print(Object().Add("status", Num(status)).Str());
    return status == ERROR_SUCCESS ? 0 : 1;
}

int DeleteEntry(const std::wstring& path, const std::wstring* name) {
    LONG status = ERROR_SUCCESS;
    if (name) {
        Key key;
        status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, key.Out());
        if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.Get(), name->c_str());
    } else {
        status = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        if (status == ERROR_SUCCESS) status = RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
    Print(Object().Add("status", Num(status)).Str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : 1;
}

// Rewrites the given values over and over for a while, cycling through valid texts, odd texts,
// other types and deletion, as a careless second writer would.
int Churn(const std::wstring& path, DWORD durationMs, const std::vector<std::wstring>& names) {
    const wchar_t* const texts[] = {L"True", L"False", L"FALSE", L"0", L" false", L""};
    const ULONGLONG start = GetTickCount64();
    unsigned long long writes = 0;
    while (GetTickCount64() - start < durationMs) {
        Key key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            key.Out(), nullptr) != ERROR_SUCCESS)
            continue;
        for (const std::wstring& name : names) {
            const unsigned long long step = writes++ % 8;
            if (step < 6) {
                const std::wstring text = texts[step];
                RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            } else if (step == 6) {
                const DWORD number = 0;
                RegSetValueExW(key.Get(), name.c_str(), 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&number), sizeof number);
            } else {
                RegDeleteValueW(key.Get(), name.c_str());
            }
        }
    }
    Print(Object().Add("writes", Num(static_cast<long long>(writes))).Str());
    return 0;
}

// Makes a key read-only for everyone (or gives full access back), so that writes to it fail.
int Protect(const std::wstring& path, bool readOnly) {
    Key key;
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, key.Out());
    if (status == ERROR_SUCCESS) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
                readOnly ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)", SDDL_REVISION_1, &descriptor,
                nullptr)) {
            status = static_cast<LONG>(GetLastError());
        } else {
            status = RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor);
            LocalFree(descriptor);
        }
    }
    Print(Object().Add("status", Num(status)).Str());
    return status == ERROR_SUCCESS ? 0 : 1;
}

// ---- process memory
// ---------------------------------------------------------------------------------

int MemoryOf(DWORD pid) {
    const Handle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process.Get() || !GetProcessMemoryInfo(process.Get(), &counters, sizeof counters)) {
        Print("null");
        return 1;
    }
    Print(Object()
              .Add("peak_working_set", Num(static_cast<long long>(counters.PeakWorkingSetSize)))
              .Add("working_set", Num(static_cast<long long>(counters.WorkingSetSize)))
              .Add("peak_pagefile", Num(static_cast<long long>(counters.PeakPagefileUsage)))
              .Str());
    return 0;
}

// ---- processes
// --------------------------------------------------------------------------------------

int Processes() {
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE) {
        Print("null");
        return 1;
    }
    std::vector<std::string> processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        processes.push_back(
            Object().Add("pid", Num(entry.th32ProcessID)).Add("exe", Quote(entry.szExeFile)).Str());
    }
    Print(Array(processes));
    return 0;
}

// ---- waiting
// ----------------------------------------------------------------------------------------

struct Condition {
    size_t count = 1;       // at least this many matching windows ...
    bool exact = false;     // ... or exactly this many
    long long checked = 0;  // each matching window has at least this many checked buttons
    int focusId = -1;       // the focus of the (first) matching window is on this control id
};

size_t CheckedButtons(HWND hwnd) {
    size_t checked = 0;
    for (HWND child : Descendants(hwnd))
        if (CheckOf(child) == BST_CHECKED) ++checked;
    return checked;
}

bool FocusIs(HWND hwnd, int id) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus && GetDlgCtrlID(info.hwndFocus) == id;
}

bool Met(const std::vector<HWND>& found, const Condition& condition) {
    if (condition.exact ? found.size() != condition.count : found.size() < condition.count)
        return false;
    for (HWND hwnd : found) {
        if (condition.checked > 0 && CheckedButtons(hwnd) < static_cast<size_t>(condition.checked))
            return false;
    }
    return condition.focusId < 0 || (!found.empty() && FocusIs(found.front(), condition.focusId));
}

// Polls until the condition holds or the timeout passes; prints the matching windows either way.
int Wait(const Selector& selector, const Condition& condition, DWORD timeoutMs, bool details) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const std::vector<HWND> found = TopLevel(selector);
        const bool met = Met(found, condition);
        if (met || GetTickCount64() - start >= timeoutMs) {
            std::vector<std::string> windows;
            windows.reserve(found.size());
            for (HWND hwnd : found) windows.push_back(WindowJson(hwnd, details));
            Print(Object()
                      .Add("met", Bool(met))
                      .Add("elapsed_ms", Num(static_cast<long long>(GetTickCount64() - start)))
                      .Add("windows", Array(windows))
                      .Str());
            return met ? 0 : 1;
        }
        Sleep(5);
    }
}

// ---- command line
// -----------------------------------------------------------------------------------

int Usage() {
    std::fputs(
        "usage: inspector COMMAND [OPTIONS]\n"
        "  windows  [SELECT] [--details]       matching top-level windows\n"
        "  window   HWND                        one window with its controls and focus\n"
        "  wait     [SELECT] [--count N] [--exact] [--checked N] [--focus-id ID]\n"
        "           [--timeout MS] [--details] [--ready]  poll until the condition holds\n"
        "  tooltips PID                         tools of the process's tooltip windows\n"
        "  reg      KEY                         class, values and subkeys of HKCU\\KEY\n"
        "  reg-set  KEY NAME TYPE HEX           store raw bytes as a value of any type\n"
        "  reg-del  KEY [NAME]                  delete a value, or a key with its subtree\n"
        "  reg-protect KEY on|off               make a key read-only, or writable again\n"
        "  reg-churn KEY MS NAME...             rewrite values in a loop for MS milliseconds\n"
        "  memory   PID                         working-set figures of a process\n"
        "  processes                            every process of the prefix\n"
        "SELECT: --class NAME --title TEXT --pid PID --hidden\n",
        stderr);
    return 2;
}

DWORD ToNumber(const wchar_t* text) {
    return static_cast<DWORD>(std::wcstoul(text, nullptr, 0));
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring command = argv[1];
    Selector selector;
    Condition condition;
    DWORD timeoutMs = 10000;
    bool details = false;
    std::vector<std::wstring> positional;
    for (int i = 2; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--class" && hasValue) {
            selector.className = argv[++i];
        } else if (arg == L"--title" && hasValue) {
            selector.title = argv[++i];
            selector.hasTitle = true;
        } else if (arg == L"--pid" && hasValue) {
            selector.pid = ToNumber(argv[++i]);
        } else if (arg == L"--hidden") {
            selector.includeHidden = true;
        } else if (arg == L"--count" && hasValue) {
            condition.count = ToNumber(argv[++i]);
        } else if (arg == L"--exact") {
            condition.exact = true;
        } else if (arg == L"--checked" && hasValue) {
            condition.checked = ToNumber(argv[++i]);
        } else if (arg == L"--focus-id" && hasValue) {
            condition.focusId = static_cast<int>(ToNumber(argv[++i]));
        } else if (arg == L"--timeout" && hasValue) {
            timeoutMs = ToNumber(argv[++i]);
        } else if (arg == L"--details") {
            details = true;
        } else if (arg == L"--ready") {
            Print("\"ready\"");  // lets a caller start its clock once the inspector is up
        } else {
            positional.push_back(arg);
        }
    }
    if (command == L"windows") {
        std::vector<std::string> windows;
        for (HWND hwnd : TopLevel(selector)) windows.push_back(WindowJson(hwnd, details));
        Print(Array(windows));
        return 0;
    }
    if (command == L"window" && positional.size() == 1) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(ToNumber(positional[0].c_str())));
        if (!IsWindow(hwnd)) {
            Print("null");
            return 1;
        }
        Print(WindowJson(hwnd, true));
        return 0;
    }
    if (command == L"wait") return Wait(selector, condition, timeoutMs, details);
    if (command == L"tooltips" && positional.size() == 1) {
        Print(TooltipsJson(ToNumber(positional[0].c_str())));
        return 0;
    }
    if (command == L"reg" && positional.size() == 1) {
        Print(RegistryJson(positional[0]));
        return 0;
    }
    if (command == L"reg-set" && positional.size() == 4)
        return SetValue(positional[0], positional[1], ToNumber(positional[2].c_str()),
                        positional[3]);
    if (command == L"reg-del" && (positional.size() == 1 || positional.size() == 2))
        return DeleteEntry(positional[0], positional.size() == 2 ? &positional[1] : nullptr);
    if (command == L"reg-protect" && positional.size() == 2)
        return Protect(positional[0], positional[1] == L"on");
    if (command == L"reg-churn" && positional.size() >= 3)
        return Churn(positional[0], ToNumber(positional[1].c_str()),
                     std::vector<std::wstring>(positional.begin() + 2, positional.end()));
    if (command == L"memory" && positional.size() == 1)
        return MemoryOf(ToNumber(positional[0].c_str()));
    if (command == L"processes") return Processes();
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        std::fputs("inspector: unexpected failure\n", stderr);
        return 3;
    }
}
