#include "platform/display.h"
#include "platform/wait_window.h"
#include "platform/windows_system.h"

namespace {
// Distinct from the message boxes, which carry the bare application title.
constexpr const wchar_t* kWindowTitle = L"scenario: Attendere";
constexpr const wchar_t* kWindowClass = L"scenario-attendere";

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

struct WaitWindow::System {
  HWND window = nullptr;
  HFONT font = nullptr;
  ~System() {
    if (window != nullptr) DestroyWindow(window);  // its label with it
    if (font != nullptr) DeleteObject(font);
  }
};

WaitWindow::WaitWindow() = default;
WaitWindow::~WaitWindow() = default;

void WaitWindow::show_and_draw() {
  if (!display_available()) return;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514));  // the hourglass: IDC_WAIT
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassW(&window_class);  // a second registration fails harmlessly

  // The client area is 280 x 179; the frame comes around it.
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, WaitWindow::kWindowWidth, WaitWindow::kWindowHeight};
  AdjustWindowRect(&frame, kStyle, FALSE);
  auto system = std::make_unique<System>();
  system->window =
      CreateWindowExW(0, kWindowClass, kWindowTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (system->window == nullptr) return;  // no window: the run goes on without one
  const HWND label = CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT,
                                     WaitWindow::kLabelLeft, WaitWindow::kLabelTop, WaitWindow::kLabelWidth,
                                     WaitWindow::kLabelHeight, system->window, nullptr, instance, nullptr);
  const HDC screen = GetDC(nullptr);
  const int height = -MulDiv(WaitWindow::kLabelPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  system->font = CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
  if (label != nullptr && system->font != nullptr)
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(system->font), FALSE);
  ShowWindow(system->window, SW_SHOWNORMAL);
  // Drawn now: the paint messages of the window and its label are handled before the run goes on.
  UpdateWindow(system->window);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  GdiFlush();
  system_ = std::move(system);
}
