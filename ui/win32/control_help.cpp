#include "ui/win32/control_help.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <string>

#include "ui/help_text.h"
#include "ui/win32/text.h"

namespace fifteen::ui::win32 {

namespace {

// The accessibility property service, or null where the system has none.
IAccPropServices* propertyServices() {
    static IAccPropServices* services = [] {
        IAccPropServices* made = nullptr;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&made))))
            return static_cast<IAccPropServices*>(nullptr);
        return made;
    }();
    return services;
}

void setAccessible(HWND window, const std::wstring& name, const std::wstring& description) {
    IAccPropServices* services = propertyServices();
    if (!services) return;
    services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, name.c_str());
    services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_DESCRIPTION, description.c_str());
}

void addTip(HWND tips, HWND dialog, HWND control, std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

HWND addControlHelp(HWND dialog, const std::map<int, HWND>& controls, HWND board) {
    HWND tips =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    // Several lines for the board's tip.
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 600);
    for (const ControlHelp& help : controlHelp) {
        const auto it = controls.find(help.id);
        if (it == controls.end()) continue;
        std::wstring tip = widen(help.description);
        if (help.mnemonic != 0)
            tip += L" (Alt+" + std::wstring(1, static_cast<wchar_t>(help.mnemonic)) + L")";
        setAccessible(it->second, widen(help.name), tip);
        if (tips) addTip(tips, dialog, it->second, tip);
    }
    std::wstring boardTip = widen(boardToolTip);
    setAccessible(board, widen(boardName), boardTip);
    if (tips) addTip(tips, dialog, board, boardTip);
    return tips;
}

}  // namespace fifteen::ui::win32
