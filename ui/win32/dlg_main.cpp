#include "ui/win32/dlg_main.h"

#include "calc/calculation_state.h"
#include "platform/message_box.h"
#include "platform/number_text.h"
#include "platform/opener.h"
#include "plugin/host_services.h"
#include "plugin/plugin_info.h"
#include "plugin/startup_messages.h"
#include "report/report_generator.h"
#include "resources/strings.h"
#include "ui/win32/activation_context.h"
#include "ui/win32/dlg_about.h"
#include "ui/win32/icons.h"
#include "ui/win32/result_tabs.h"
#include "ui/win32/win32_text.h"

#include <stdexcept>

namespace sepmet::win32 {
namespace {

struct CommandButton {
    int controlId;
    int tipId;
    int iconId;
};

// The eight command buttons: control id, tooltip string, icon resource.
constexpr CommandButton kButtons[] = {
    {1000, StringId::TipAdd, IconResource::Add},
    {1001, StringId::TipRemoveSelected, IconResource::Remove},
    {1002, StringId::TipRemoveAll, IconResource::RemoveAll},
    {1003, StringId::TipOpen, IconResource::Open},
    {1004, StringId::TipRecalculate, IconResource::Reload},
    {1008, StringId::TipSettings, IconResource::Settings},
    {1005, StringId::TipReport, IconResource::Report},
    {1022, StringId::TipAbout, IconResource::About},
};

// Every page occupies the tab control's client rectangle shrunk by these insets.
constexpr RECT kPageInsets{1, 22, 4, 2};

// The dialog keys (Tab, Enter, Escape, arrows) of a modeless window are the dialog manager's
// only when the message loop asks it; the host's loop does not know the plug-in's window, so a
// hook on this thread's messages asks for it.
HWND keyboardWindow = nullptr;
HHOOK keyboardHook = nullptr;

LRESULT CALLBACK DialogKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && keyboardWindow && msg->message >= WM_KEYFIRST &&
        msg->message <= WM_KEYLAST &&
        (msg->hwnd == keyboardWindow || IsChild(keyboardWindow, msg->hwnd)) &&
        IsDialogMessageW(keyboardWindow, msg)) {
        msg->message = WM_NULL; // handled: the host's loop dispatches nothing
    }
    return CallNextHookEx(keyboardHook, code, wParam, lParam);
}

std::u16string VersionText(std::uint32_t version) {
    std::u16string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += text.empty() ? u" " : u".";
        text += FormatInteger((version >> shift) & 0xFF);
    }
    return text;
}

} // namespace

DlgMain::DlgMain(HWND hostParent)
    : Dialog(MainDialogTemplate(), DialogFrame::MainWindow), hostParent_(hostParent),
      session_(std::make_unique<DeterminationSession>(ProcessCalculationState())) {}

DlgMain::~DlgMain() {
    if (keyboardWindow == hwnd()) {
        keyboardWindow = nullptr;
        UnhookWindowsHookEx(keyboardHook);
        keyboardHook = nullptr;
    }
}

void DlgMain::CreateModeless() {
    if (!Create(hostParent_))
        throw std::runtime_error("the main window could not be created");
    created_ = true;
}

void DlgMain::ShowNormal() {
    ShowWindow(hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(hwnd());
}

bool DlgMain::OnInitDialog() {
    // The system menu's "О плагине".
    if (const HMENU menu = GetSystemMenu(hwnd(), FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kAboutMenuItem,
                    ToWide(LoadString(StringId::AboutMenuItem)).c_str());
    }
    const PluginInfo& info = PluginInformation();
    SetWindowText(hwnd(), std::u16string(info.title) + u" , ver. " + VersionText(info.version));

    componentsPage_.reset(NewComponentsTab());
    messageTab_ = std::make_unique<MessageTab>();
    gradPage_.reset(NewGradTab());
    settingsDialog_ = std::make_unique<DlgSettings>(
        [this] { return ConditionDisplayTexts(session_->State().settings); },
        [this](const SettingsTexts& texts) -> std::optional<SettingsRefusal> {
            CommandResult result = session_->ApplyConditions(texts);
            if (result.refused.empty()) {
                appliedSettings_ = std::move(result);
                return std::nullopt;
            }
            // An empty field is named first, as the operator must fill it before anything else.
            for (const RefusedCondition& refused : result.refused)
                if (refused.reason == RefusedCondition::Reason::Empty)
                    return SettingsRefusal{SettingsRefusal::Reason::Empty,
                                           static_cast<std::size_t>(refused.field)};
            return SettingsRefusal{SettingsRefusal::Reason::NotNumber,
                                   static_cast<std::size_t>(result.refused.front().field)};
        });
    calcPage_.reset(NewCalcTab());
    reportGenerator_ = std::make_unique<ReportGenerator>(session_->State(), session_->Log());

    SetWindowIcons(hwnd());
    const int iconSize = ScaleForWindow(hwnd(), 16);
    for (const CommandButton& button : kButtons)
        SendDlgItemMessageW(hwnd(), button.controlId, BM_SETIMAGE, IMAGE_ICON,
                            reinterpret_cast<LPARAM>(SharedIcon(button.iconId, iconSize)));
    CreateToolTips();
    SetUpAssayList();

    // The list keeps its top-left corner and takes the whole width change and half the height
    // change; the tabs move down by half the height change and take the rest.
    AddLayout(kListId, 0, 0, 100, 50);
    AddLayout(kTabsId, 0, 50, 100, 50);

    RestoreWindowState();
    CreatePages();
    keyboardWindow = hwnd();
    keyboardHook = SetWindowsHookExW(WH_GETMESSAGE, &DialogKeys, nullptr, GetCurrentThreadId());
    return true;
}

void DlgMain::CreateToolTips() {
    toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                               nullptr, ResourceModule(), nullptr);
    for (const CommandButton& button : kButtons) {
        std::wstring tip = ToWide(LoadString(button.tipId));
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        // The tooltip watches the button's mouse messages itself.
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Item(button.controlId));
        tool.lpszText = tip.data();
        SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(toolTip_, TTM_ACTIVATE, TRUE, 0);
}

void DlgMain::SetUpAssayList() {
    // Column widths are given for 96 dots per inch and grow with the resolution, as the text does.
    assayList_.Attach(Item(kListId));
    ListView_SetExtendedListViewStyle(assayList_.hwnd(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ShowScrollBar(assayList_.hwnd(), SB_HORZ, TRUE);
    SetScrollPos(assayList_.hwnd(), SB_HORZ, 0, TRUE);
    assayList_.AddColumn(0, StringId::ColNumber, LVCFMT_LEFT, ScaleForWindow(hwnd(), 30));
    assayList_.AddColumn(1, StringId::ColFileName, LVCFMT_LEFT, ScaleForWindow(hwnd(), 230));
    assayList_.AddColumn(2, StringId::ColSample, LVCFMT_LEFT, ScaleForWindow(hwnd(), 130));
    assayList_.AddColumn(3, StringId::ColAssayType, LVCFMT_LEFT, ScaleForWindow(hwnd(), 150));
    assayList_.AddColumn(4, StringId::ColMixture, LVCFMT_LEFT, ScaleForWindow(hwnd(), 130));
}

void DlgMain::CreatePages() {
    const HWND tabs = Tabs();
    const int titles[] = {StringId::TabComponents, StringId::TabGrad, StringId::TabCalc,
                          StringId::TabMessages};
    Dialog* pages[] = {componentsPage_.get(), gradPage_.get(), calcPage_.get(), messageTab_.get()};
    for (int i = 0; i < 4; ++i) {
        pages[i]->Create(tabs);
        std::wstring title = ToWide(LoadString(titles[i]));
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = title.data();
        item.lParam = reinterpret_cast<LPARAM>(pages[i]);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    PlacePages();
    ShowPage(0);
}

std::array<HWND, 4> DlgMain::Pages() const {
    return {componentsPage_->hwnd(), gradPage_->hwnd(), calcPage_->hwnd(), messageTab_->hwnd()};
}

void DlgMain::PlacePages() {
    if (!calcPage_ || !calcPage_->hwnd())
        return;
    RECT client;
    GetClientRect(Tabs(), &client);
    for (HWND page : Pages())
        SetWindowPos(page, nullptr, client.left + kPageInsets.left, client.top + kPageInsets.top,
                     client.right - client.left - kPageInsets.left - kPageInsets.right,
                     client.bottom - client.top - kPageInsets.top - kPageInsets.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void DlgMain::ShowPage(int index) {
    TabCtrl_SetCurSel(Tabs(), index);
    const std::array<HWND, 4> pages = Pages();
    for (int i = 0; i < 4; ++i)
        ShowWindow(pages[i], i == index ? SW_SHOW : SW_HIDE);
}

bool DlgMain::OnCommand(int id, int code) {
    if (code != BN_CLICKED)
        return Dialog::OnCommand(id, code);
    switch (id) {
    case 1000:
        OnAddCommand();
        return true;
    case 1001:
        OnRemoveSelectedCommand();
        return true;
    case 1002:
        OnRemoveAllCommand();
        return true;
    case 1003:
        OnOpenCommand();
        return true;
    case 1004:
        OnReloadCommand();
        return true;
    case 1008:
        OnSettingsCommand();
        return true;
    case 1005:
        OnReportCommand();
        return true;
    case 1022:
        OnAboutCommand();
        return true;
    default:
        return Dialog::OnCommand(id, code);
    }
}

std::optional<LRESULT> DlgMain::OnNotify(NMHDR* header) {
    if (header->idFrom == kListId && header->code == NM_CLICK) {
        OnListClick(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem);
        return 0;
    }
    if (header->idFrom == kTabsId && header->code == TCN_SELCHANGE) {
        ShowPage(TabCtrl_GetCurSel(Tabs()));
        return 0;
    }
    return std::nullopt;
}

std::optional<LRESULT> DlgMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == kAboutMenuItem) {
            OnAboutCommand();
            return 0;
        }
        return std::nullopt;
    case WM_SIZE:
        PlacePages();
        return std::nullopt;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
        return 0;
    }
    default:
        return std::nullopt;
    }
}

void DlgMain::OnOK() {
    SaveWindowState();
    Dialog::OnOK();
}

void DlgMain::OnCancel() {
    SaveWindowState();
    Dialog::OnCancel();
}

void DlgMain::PostNcDestroy() {
    if (keyboardWindow) {
        keyboardWindow = nullptr;
        UnhookWindowsHookEx(keyboardHook);
        keyboardHook = nullptr;
    }
    if (!created_ || unloading_)
        return; // the creator, or CloseForUnload, deletes the object
    MainWindowDestroyed(this);
    delete this;
}

void DlgMain::CloseForUnload() {
    unloading_ = true;
    SaveWindowState();
    MainWindowDestroyed(this);
    if (hwnd())
        DestroyWindow(hwnd());
    delete this;
}

// --- commands ---

std::vector<std::size_t> DlgMain::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (int row = ListView_GetNextItem(assayList_.hwnd(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(assayList_.hwnd(), row, LVNI_SELECTED))
        rows.push_back(static_cast<std::size_t>(row));
    return rows;
}

void DlgMain::ShowError(std::u16string_view text) {
    ShowMessageBox(WindowHandle(), kPluginMessageCaption, text, MessageIcon::Error);
}

void DlgMain::NotifyAssayListChanged() {
    sepmet::NotifyAssayListChanged(WindowHandle());
}

void DlgMain::ClearPeakPage() {
    componentsPage_->Show({});
}

void DlgMain::ShowRecalculation(const Recalculation& recalculation) {
    gradPage_->Apply(recalculation.gradPage);
    calcPage_->Apply(recalculation.calcPage);
    messageTab_->ShowLines(recalculation.messages);
}

void DlgMain::RefreshAssayList() {
    const HWND list = assayList_.hwnd();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    assayList_.ClearRows();
    for (const AssayListRow& listed : session_->ListRows()) {
        const int row = assayList_.AppendRow();
        if (row < 0)
            continue;
        assayList_.Row(row)->userData = static_cast<DWORD_PTR>(listed.id);
        assayList_.SetText(row, 0, listed.number);
        assayList_.SetText(row, 1, listed.fileName);
        assayList_.SetText(row, 2, listed.sample);
        assayList_.SetText(row, 3, listed.type);
        assayList_.SetText(row, 4, listed.mixture);
        // The mark as the row's state image (1 unchecked, 2 checked); the list shows no boxes.
        ListView_SetItemState(list, row, INDEXTOSTATEIMAGEMASK(listed.isChecked ? 2 : 1),
                              LVIS_STATEIMAGEMASK);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void DlgMain::SaveRowMarks() {
    std::vector<std::int32_t> marks;
    for (int row = 0, n = assayList_.RowCount(); row < n; ++row)
        marks.push_back(
            ((ListView_GetItemState(assayList_.hwnd(), row, LVIS_STATEIMAGEMASK) >> 12) == 2) ? 1
                                                                                              : 0);
    session_->SetMarks(marks);
}

void DlgMain::OnAddCommand() {
    SaveRowMarks();
    if (const std::optional<std::vector<std::int32_t>> ids = PickAssays(WindowHandle()))
        ShowResult(session_->AddAssays(*ids));
}

void DlgMain::OnRemoveSelectedCommand() {
    ShowResult(session_->RemovePositions(SelectedRows()));
}

void DlgMain::OnRemoveAllCommand() {
    const std::optional<std::u16string> question = session_->RemoveAllQuestion();
    if (question && !AskYesNo(WindowHandle(), kPluginMessageCaption, *question))
        return;
    ShowResult(session_->RemoveAll());
}

void DlgMain::OnOpenCommand() {
    ShowResult(session_->OpenInViewer(SelectedRows(), HostAssayViewer()));
}

void DlgMain::OnReloadCommand() {
    ShowResult(session_->Reload());
}

void DlgMain::OnSettingsCommand() {
    appliedSettings_.reset();
    if (settingsDialog_->RunModal(hwnd()) == IDOK && appliedSettings_)
        ShowResult(*appliedSettings_);
    appliedSettings_.reset();
}

void DlgMain::OnReportCommand() {
    reportGenerator_->assays = &session_->Assays();
    reportGenerator_->SetOwnerWindow(WindowHandle());
    if (reportGenerator_->Generate())
        OpenDocument(reportGenerator_->OutputFile());
}

void DlgMain::OnAboutCommand() {
    DlgAbout about;
    about.RunModal(hwnd());
}

void DlgMain::OnListClick(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= session_->Assays().Count())
        return;
    componentsPage_->Show(session_->PeakRows(static_cast<std::size_t>(row)));
}

// --- the window's memory ---

void DlgMain::SaveWindowState() {
    if (closing_)
        return;
    closing_ = true;
    SaveRowMarks();
    RECT frame;
    GetWindowRect(hwnd(), &frame);
    session_->SaveState(profile_, {frame.left, frame.top, frame.right, frame.bottom});
}

void DlgMain::RestoreWindowState() {
    ShowResult(session_->Open(profile_, DatabaseAssayLoader()));
    PlaceWindow(ReadWindowRect(profile_));
}

void DlgMain::PlaceWindow(const StoredWindowRect& stored) {
    RECT workArea;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const int workWidth = workArea.right - workArea.left;
    const int workHeight = workArea.bottom - workArea.top;
    RECT frame;
    GetWindowRect(hwnd(), &frame);
    int width = stored.Width(), height = stored.Height();
    int left = stored.left, top = stored.top;
    if (width <= 0 || height <= 0) {
        // First opening: the template's size, centred in the primary work area.
        width = std::min<int>(frame.right - frame.left, workWidth);
        height = std::min<int>(frame.bottom - frame.top, workHeight);
        left = workArea.left + (workWidth - width) / 2;
        top = workArea.top + (workHeight - height) / 2;
    } else {
        const RECT rect{stored.left, stored.top, stored.right, stored.bottom};
        if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) {
            // On no display (one since disconnected): the primary work area's top-left corner,
            // no larger than the work area.
            left = workArea.left;
            top = workArea.top;
            width = std::min(width, workWidth);
            height = std::min(height, workHeight);
        }
    }
    MoveWindow(hwnd(), left, top, width, height, TRUE);
}

MainWindow* DlgMainFactory::NewMainWindow(HostWord parent) {
    return new DlgMain(reinterpret_cast<HWND>(parent));
}

} // namespace sepmet::win32
