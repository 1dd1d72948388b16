#include "win32_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <wincodec.h>

namespace sepmet::testing {
namespace {

// The test program is the host here, and a host that knows the screen's resolution: Windows
// then reports the real dots per inch instead of scaling a 96-DPI picture.
const bool dpiAware = SetProcessDPIAware() != FALSE;

struct ModalScript {
    std::function<void(HWND)> script;
    HWND dialog = nullptr;
    bool stayedOpen = false;
    UINT_PTR timer = 0;
    UINT_PTR deadline = 0;
};
ModalScript* currentScript = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t className[16]{};
    GetClassNameW(window, className, 16);
    if (std::wstring_view(className) == L"#32770" && IsWindowVisible(window) &&
        IsWindowEnabled(window))
        *reinterpret_cast<HWND*>(found) = window; // the last one: the innermost modal dialog
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ModalScript* run = currentScript;
    if (!run)
        return;
    if (id == run->deadline) {
        // What the script did has had its time: a dialog still open stays open.
        KillTimer(nullptr, run->deadline);
        run->deadline = 0;
        if (IsWindow(run->dialog)) {
            run->stayedOpen = true;
            EndDialog(run->dialog, IDABORT);
        }
        return;
    }
    if (id != run->timer)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return; // not shown yet
    KillTimer(nullptr, run->timer);
    run->dialog = dialog;
    PumpMessages();
    run->script(dialog);
    run->deadline = SetTimer(nullptr, 0, 300, &OnTimer);
}

} // namespace

ModalOutcome DriveModal(const std::function<INT_PTR()>& run,
                        const std::function<void(HWND)>& script) {
    ModalScript state{script};
    ModalScript* outer = currentScript;
    currentScript = &state;
    state.timer = SetTimer(nullptr, 0, 20, &OnTimer);
    const INT_PTR result = run();
    KillTimer(nullptr, state.timer);
    if (state.deadline)
        KillTimer(nullptr, state.deadline);
    currentScript = outer;
    return {result, state.stayedOpen};
}

void Click(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressKey(HWND target, UINT key) {
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
}

void PumpMessages() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

std::u16string Text(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void SetText(HWND window, std::u16string_view text) {
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(window, wide.c_str());
}

std::vector<std::vector<std::u16string>> ListViewRows(HWND listView) {
    const int columns = Header_GetItemCount(ListView_GetHeader(listView));
    std::vector<std::vector<std::u16string>> rows;
    for (int row = 0, n = ListView_GetItemCount(listView); row < n; ++row) {
        std::vector<std::u16string>& cells = rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            wchar_t buffer[512]{};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer;
            item.cchTextMax = 512;
            const auto length = static_cast<std::size_t>(
                SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
            cells.emplace_back(buffer, buffer + length);
        }
    }
    return rows;
}

std::vector<std::u16string> ListBoxLines(HWND listBox) {
    std::vector<std::u16string> lines;
    for (int i = 0, n = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(listBox, LB_GETTEXTLEN, i, 0)) + 1,
                          L'\0');
        line.resize(static_cast<std::size_t>(
            SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
        lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

RECT ClientRectOf(HWND dialog, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectTextsFit(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    const HDC dc = GetDC(dialog);
    const HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = ClientRectOf(dialog, child);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right &&
                    rect.bottom <= client.bottom)
            << "control " << GetDlgCtrlID(child) << " outside the dialog";
        wchar_t className[16]{};
        GetClassNameW(child, className, 16);
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        const bool text =
            (lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT) ||
            (lstrcmpiW(className, L"Button") == 0 && !(style & BS_ICON));
        if (!text)
            continue;
        const std::u16string label = Text(child);
        const std::wstring wide(label.begin(), label.end());
        SIZE extent{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
        EXPECT_LE(extent.cx, rect.right - rect.left)
            << "text of control " << GetDlgCtrlID(child) << " at " << rect.left << "," << rect.top
            << " cut off";
    }
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
}

bool WriteScreenshot(HWND window, std::string_view name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpMessages();
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;

    // The window's pixels from the screen, top-down 32-bit BGRA.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const std::filesystem::path folder = SEPMET_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    // Taken at another resolution than 96 dots per inch, the name says which.
    const HDC windowDc = GetDC(window);
    const int dpi = GetDeviceCaps(windowDc, LOGPIXELSX);
    ReleaseDC(window, windowDc);
    const std::string suffix = dpi == 96 ? "" : "-" + std::to_string(dpi) + "dpi";
    const std::wstring file =
        (folder / ("windows-" + std::string(name) + suffix + ".png")).wstring();

    // PNG through the Windows imaging component.
    bool written = false;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) {
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
        written = SUCCEEDED(frame->SetPixelFormat(&format)) &&
                  IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
                  SUCCEEDED(frame->WritePixels(
                      static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                      static_cast<UINT>(width * height * 4), static_cast<BYTE*>(bits))) &&
                  SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    for (IUnknown* object : {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder),
                             static_cast<IUnknown*>(stream), static_cast<IUnknown*>(factory)})
        if (object)
            object->Release();
    DeleteObject(bitmap);
    return written;
}

} // namespace sepmet::testing
