#include "panels/tool_panel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QThread>
#include <QVBoxLayout>
#include <QWindow>

#include "files/settings/window_placement.h"
#include "framework/qt/screens.h"
#include "panels/panel_font.h"

namespace panels {

ToolPanel::ToolPanel(std::string_view caption, std::string_view section,
                     files::SettingsFile settings, int templateWidth, int templateHeight)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      section_(section),
      settings_(std::move(settings)) {
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    setFont(PanelFont());
    baseUnits_ = BaseUnitsOf(font());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The panel's size is its template's (and the menu bar's): the user cannot change it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    body_ = new QWidget(this);
    body_->setFixedSize(DialogX(baseUnits_, templateWidth), DialogY(baseUnits_, templateHeight));
    layout->addWidget(body_);
    // Until it opens at its stored place or the start-up layout's, the panel stands here.
    move(0, 0);
}

ToolPanel::~ToolPanel() = default;

void ToolPanel::Place(QWidget* control, int x, int y, int width, int height) const {
    control->setGeometry(DialogRect(baseUnits_, x, y, width, height));
}

void ToolPanel::SetMenuBar(QMenuBar* menuBar) {
    menuBar->setNativeMenuBar(false);
    layout()->setMenuBar(menuBar);
    layout()->activate();
}

void ToolPanel::SetOwner(QWindow* owner) {
    winId();
    windowHandle()->setTransientParent(owner);
}

void ToolPanel::Open() {
    layout()->activate();
    files::RestoreStoredPosition(*this, settings_, section_, framework::qt::ScreenRects());
}

void ToolPanel::Close() {
    files::SaveWindowPosition(*this, settings_, section_);
    hide();
}

framework::ScreenRect ToolPanel::Frame() const {
    // The native window's frame: it follows the window manager's margins as soon as they are
    // known, where the widget's own frame geometry may still lack them.
    const QWindow* window = windowHandle();
    const QRect frame = window != nullptr ? window->frameGeometry() : frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void ToolPanel::MoveRaiseAndShow(int left, int top) {
    // As the main window does: the frame is known once the window is on the screen, and the
    // client area is then placed so that the frame's corner lands at (left, top).
    if (!isVisible()) show();
    constexpr int kLimitMilliseconds = 3000;
    QElapsedTimer waited;
    waited.start();
    QWindow* window = windowHandle();
    while (window != nullptr && !window->isExposed() && waited.elapsed() < kLimitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!window->isExposed()) QThread::msleep(5);
    }
    const QMargins margins = window != nullptr ? window->frameMargins() : QMargins();
    if (window != nullptr) window->setPosition(left + margins.left(), top + margins.top());
    raise();
}

bool ToolPanel::OnScreen() const {
    const QWindow* window = windowHandle();
    return isVisible() && window != nullptr && window->isExposed();
}

bool ToolPanel::Framed() const {
    const QWindow* window = windowHandle();
    return window != nullptr && !window->frameMargins().isNull();
}

void ToolPanel::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace panels
