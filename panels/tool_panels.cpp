#include "panels/tool_panels.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "framework/qt/window_system.h"

namespace panels {

ToolPanels::ToolPanels(app::Session& session, files::SettingsFile settings,
                       app::ChooseFile chooseFile, bool withLighting, QWindow* owner)
    : session_(session),
      settings_(std::move(settings)),
      chooseFile_(std::move(chooseFile)),
      withLighting_(withLighting),
      owner_(owner) {}

ToolPanels::~ToolPanels() {
    // Never leave the session holding an observer that is gone.
    if (part_ != nullptr || animation_ != nullptr || material_ != nullptr) {
        session_.SetPanelObserver(nullptr);
    }
}

namespace {

// Makes and opens a panel that is not open yet, above the owner when there is one.
template <typename Panel, typename... Args>
void OpenOnce(QWindow* owner, std::unique_ptr<Panel>& panel, Args&&... args) {
    if (panel != nullptr) return;
    panel = std::make_unique<Panel>(std::forward<Args>(args)...);
    if (owner != nullptr) panel->SetOwner(owner);
    panel->Open();
}

template <typename Panel>
files::StartWindow StartWindowOf(const std::unique_ptr<Panel>& panel) {
    if (panel == nullptr) return {};
    return {panel.get(), panel->section()};
}

template <typename Panel>
void CloseOpen(std::unique_ptr<Panel>& panel) {
    if (panel == nullptr) return;
    panel->Close();
    panel.reset();
}

}  // namespace

// Opened in this order and closed in the same order: the Material panel last both times.
void ToolPanels::ShowPanels() {
    OpenOnce(owner_, part_, session_, settings_, chooseFile_);
    OpenOnce(owner_, handling_, session_, settings_);
    if (withLighting_) OpenOnce(owner_, lighting_, session_, settings_);
    OpenOnce(owner_, animation_, session_, settings_, chooseFile_);
    OpenOnce(owner_, material_, session_, settings_);
    session_.SetPanelObserver(this);
}

void ToolPanels::ClosePanels() {
    CloseOpen(part_);
    CloseOpen(handling_);
    CloseOpen(lighting_);
    CloseOpen(animation_);
    CloseOpen(material_);
    session_.SetPanelObserver(nullptr);
}

files::StartWindows ToolPanels::Windows() {
    // The start-up layout goes by the frames' sizes, known once a window manager has framed
    // the panels just shown; a loaded machine's manager may take a few seconds over it.
    const std::array<const ToolPanel*, 5> shown = {part_.get(), animation_.get(), handling_.get(),
                                                   lighting_.get(), material_.get()};
    // Exposed is not yet framed: under a window manager the frame's margins (the title bar's
    // height among them) may come a moment later, and a layout made without them can push a
    // panel off the screen.
    const bool managed = framework::qt::X11WindowManagerRunning();
    const auto allOnScreen = [&shown, managed] {
        return std::all_of(shown.begin(), shown.end(), [managed](const ToolPanel* panel) {
            return panel == nullptr || !panel->isVisible() ||
                   (panel->OnScreen() && (!managed || panel->Framed()));
        });
    };
    constexpr int kFramingLimitMilliseconds = 10000;
    QElapsedTimer waited;
    waited.start();
    while (!allOnScreen() && waited.elapsed() < kFramingLimitMilliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!allOnScreen()) QThread::msleep(5);
    }
    files::StartWindows windows;
    const auto at = [&windows](files::LayoutWindow window) -> files::StartWindow& {
        return windows[static_cast<std::size_t>(window)];
    };
    at(files::LayoutWindow::kPart) = StartWindowOf(part_);
    at(files::LayoutWindow::kAnimation) = StartWindowOf(animation_);
    at(files::LayoutWindow::kHandling) = StartWindowOf(handling_);
    at(files::LayoutWindow::kLighting) = StartWindowOf(lighting_);
    at(files::LayoutWindow::kMaterial) = StartWindowOf(material_);
    return windows;
}

void ToolPanels::TreeRebuilt(const model::PartTable& parts, bool showScale) {
    if (part_ != nullptr) part_->RebuildTree(parts, showScale);
}

void ToolPanels::SelectionChanged(model::PartIndex /*selected*/) {
    if (part_ != nullptr) part_->TreeFromSelection();
}

void ToolPanels::HistoryChanged(bool canUndo, bool canRedo) {
    if (part_ != nullptr) part_->SetHistoryButtons(canUndo, canRedo);
}

void ToolPanels::ScaleChanged(float /*scale*/) {
    if (part_ != nullptr) part_->ShowScale();
}

void ToolPanels::KeyShown(int keyNumber) {
    if (animation_ != nullptr) animation_->ShowKey(keyNumber);
}

void ToolPanels::PlayingChanged(bool playing) {
    if (animation_ != nullptr) animation_->ShowPlaying(playing);
}

void ToolPanels::FrameStepsRan() {
    if (handling_ != nullptr) handling_->ShowValues();
}

void ToolPanels::StoreMaterialSettings() {
    if (material_ != nullptr) material_->StoreSettings();
}

void ToolPanels::MaterialListChanged() {
    if (material_ != nullptr) material_->RebuildList();
}

}  // namespace panels
