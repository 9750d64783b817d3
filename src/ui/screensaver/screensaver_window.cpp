// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screensaver/screensaver_window.h"

#include "core/media/media_commands.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"
#include "platform/desktop/foreground_guard.h"
#include "platform/desktop/x11_window_source.h"
#include "ui/widgets/sound_cues.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/tip_window.h"
#include "ui/widgets/ui_font.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTableView>
#include <QWindow>

#include <chrono>

namespace dictora {

namespace {

const QString kGreeting = QStringLiteral("欢迎使用Dictora 澄听2014");
const QString kExitLabel = QStringLiteral("退出听写屏保");
const QString kSwitchOnLabel = QStringLiteral("开启听写屏保");
const QString kBoxTexts[3] = {QStringLiteral("★"), QStringLiteral(">"), QStringLiteral("x")};
const QString kBoxTips[3] = {QStringLiteral("★ 换上自己的图片"), QStringLiteral("> 下一张图片"),
                             QStringLiteral("x 删除这张图片")};

// The label area of the switched-off backdrop: the toggle box and its shadow.
const QRect kLabelArea{0, 0, 250, 70};

constexpr int kFadeInStep = 51;
constexpr int kFadeOutStep = 17;

QColor argb(QRgb value)
{
    return QColor::fromRgba(value);
}

// Text as a filled outline, as the system draws it in a layout box: the path
// starts at the box's top-left corner.
QPainterPath outlineText(const QString& text, int emPixels, bool bold = false)
{
    QFont font = uiFont();
    font.setPixelSize(emPixels);
    font.setBold(bold);
    QPainterPath path;
    path.addText(QPointF(0, QFontMetricsF(font).ascent()), font, text);
    return path;
}

// A grey shadow copy moved right and down, then the text.
void drawShadowedText(QPainter& painter, const QPainterPath& path, const QPointF& at, int offset,
                      const QColor& shadow, const QColor& text)
{
    painter.fillPath(path.translated(at + QPointF(offset, offset)), shadow);
    painter.fillPath(path.translated(at), text);
}

void fillVertical(QPainter& painter, const QSize& size, QRgb top, QRgb bottom)
{
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, argb(top));
    gradient.setColorAt(1, argb(bottom));
    painter.fillRect(QRect(QPoint(0, 0), size), gradient);
}

} // namespace

ScreensaverWindow::ScreensaverWindow(StudyPanel& panel, QWidget* owner)
    : LayeredWindow(owner, Qt::Tool), panel_(panel), state_(panel.state()),
      cfgFolder_(panel.services().folder.cfgFolder()),
      pictures_(PictureList::pictureFiles(cfgFolder_)),
      allowList_(AllowList::load(cfgFolder_ + QStringLiteral("App.ini")))
{
    setObjectName(QStringLiteral("screensaver"));
    // The window manager maps the window some time after show(), and puts
    // it on top when it does: the owned windows come up again only then.
    create();
    if (QWindow* native = windowHandle())
        native->installEventFilter(this);
    connect(&loader_, &PictureLoader::finished, this,
            [this](const QString&, const PictureLoader::Result& result) {
                showDecodedPicture(result);
            });
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ScreensaverWindow::tick);
    timer_.start(100);
}

ScreensaverWindow::~ScreensaverWindow()
{
    // The worker posts to this window; it must be gone before the window.
    stopFade();
}

void ScreensaverWindow::setWindowSource(std::unique_ptr<WindowSource> source)
{
    windowSourceLookedFor_ = true;
    windowSource_ = std::move(source);
    guard_.reset();
    if (windowSource_)
        guard_ = std::make_unique<ForegroundGuard>(
            *windowSource_, allowList_, QCoreApplication::applicationPid(),
            QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

void ScreensaverWindow::SetScreensaverOn(bool on)
{
    screensaverOn_ = on;
    panel_.layoutPanel();
    if (on) {
        ShowSolid();
        panel_.bringFrameToFront();
        keepOwnedWindowsInFront(this);
    } else {
        Redraw(0);
    }
}

void ScreensaverWindow::ShowSolid()
{
    fadeRequested_ = 0;
    Redraw(255);
    show();
}

ScreensaverWindow::Look ScreensaverWindow::currentLook() const
{
    if (splashStage == 1)
        return Look::Splash;
    if (state_.dictationMode)
        return screensaverOn_ ? Look::Backdrop : Look::SwitchedOffLabel;
    return Look::Plain;
}

void ScreensaverWindow::Redraw(int alpha)
{
    const Look look = currentLook();
    // A fade changes only the constant alpha: the picture on the window is
    // still the right one, and drawing a screen-sized picture 22 times in a
    // second would only take the time from the study screen.
    const bool pictureStands = look == look_ && look != Look::Backdrop && !picture().isNull() &&
                               picture().deviceIndependentSize().toSize() == size();
    const Look before = look_;
    look_ = look;
    bool draw = !pictureStands;
    if (look_ == Look::Backdrop) {
        // Every redraw of the running screensaver moves on by one picture.
        const QString name = pictures_.takeNext();
        if (name.isEmpty()) {
            loader_.cancel();
            pictureIsGradient_ = true;
            picture_ = QImage();
        } else {
            // Drawn when decoded; meanwhile the picture before stays, or,
            // coming from another look, the gradient stands in.
            loader_.load(cfgFolder_ + name, size());
            draw = before != Look::Backdrop;
            if (draw) {
                pictureIsGradient_ = true;
                picture_ = QImage();
            }
        }
    }
    if (draw)
        render();
    const bool opaqueLook = look_ == Look::Backdrop || look_ == Look::SwitchedOffLabel;
    applyAlpha(opaqueLook ? 255 : std::clamp(alpha, 0, 255));
}

void ScreensaverWindow::applyAlpha(int alpha)
{
    // A layered window at alpha 0 is neither seen nor clicked: here it is
    // hidden, which is the same to the learner.
    if (alpha == 0) {
        hide();
        return;
    }
    setWindowOpacity(alpha / 255.0);
    if (!isVisible())
        show();
}

void ScreensaverWindow::render()
{
    // Switched off in Dictation mode only the label is there; the rest of
    // the window lets the study screen through, to the eye and the mouse
    // alike, also on desktops without a compositor.
    if (look_ == Look::SwitchedOffLabel)
        setMask(kLabelArea);
    else
        clearMask();

    PushLayeredPicture(this, [this](QPainter& painter, const QSize& size) {
        switch (look_) {
        case Look::Splash: {
            fillVertical(painter, size, 0xFFCCE8CF, 0xFFDCE2F1);
            if (greetingPath_.isEmpty())
                greetingPath_ = outlineText(kGreeting, 60);
            QFont font = uiFont();
            font.setPixelSize(60);
            const qreal textWidth = QFontMetricsF(font).horizontalAdvance(kGreeting);
            const QPointF at((size.width() - textWidth) / 2, size.height() / 4);
            drawShadowedText(painter, greetingPath_, at, 3, argb(0x32808080), argb(0xFFFF80FF));
            break;
        }
        case Look::Backdrop: {
            if (pictureIsGradient_)
                fillVertical(painter, size, 0xFFCCE8CF, 0xFEDCE2F1);
            else if (!picture_.isNull())
                painter.drawImage(QRect(QPoint(0, 0), size), picture_);
            if (exitLabelPath_.isEmpty()) {
                exitLabelPath_ = outlineText(kExitLabel, 25);
                for (int i = 0; i < 3; ++i)
                    boxPaths_[i] = outlineText(kBoxTexts[i], 30);
            }
            const QColor shadow = argb(0x10808080);
            const QColor text = argb(0xFFA0DCFF);
            drawShadowedText(painter, exitLabelPath_, toggleBox().topLeft(), 1, shadow, text);
            const int boxesLeft = panel_.screenWidth - 3 * kPictureBoxSize;
            for (int i = 0; i < 3; ++i)
                drawShadowedText(painter, boxPaths_[i], QPointF(boxesLeft + i * kPictureBoxSize, 0),
                                 2, shadow, text);
            break;
        }
        case Look::SwitchedOffLabel:
            painter.fillRect(QRect(QPoint(0, 0), size), argb(0x01FFFFFF));
            if (switchOnLabelPath_.isEmpty())
                switchOnLabelPath_ = outlineText(kSwitchOnLabel, 28, true);
            drawShadowedText(painter, switchOnLabelPath_, toggleBox().topLeft(), 1,
                             argb(0x40808080), argb(0xFFFFFF00));
            break;
        case Look::Plain:
            painter.fillRect(QRect(QPoint(0, 0), size), argb(0xFFD1EDD4));
            break;
        }
    });
}

void ScreensaverWindow::showDecodedPicture(const PictureLoader::Result& result)
{
    if (look_ != Look::Backdrop)
        return; // switched off while it was decoded
    // A picture that cannot be read draws no background.
    pictureIsGradient_ = false;
    picture_ = result.image;
    render();
    if (result.outcome == PictureLoader::Outcome::TooLarge) {
        playErrorCue(panel_.services().media);
        showTip(QStringLiteral("图片超过1亿像素，请换一张小些的"));
    }
}

void ScreensaverWindow::showTip(const QString& text)
{
    if (TipWindow* tip = panel_.tipWindow())
        tip->ShowTip(state_.cursorPos.x(), state_.cursorPos.y() + 30, text);
}

void ScreensaverWindow::resizeEvent(QResizeEvent* event)
{
    LayeredWindow::resizeEvent(event);
    // The same look at the new size; only a redraw moves on to another picture.
    if (isVisible() || screensaverOn_)
        render();
}

void ScreensaverWindow::StartFade()
{
    stopFade();
    fadeRequested_ = 1;
    const int run = ++fadeRun_;
    const bool splash = splashStage == 0;
    // The splash waits for the study screen's first paint, so drawing and
    // mapping a screen-sized window does not hold the study screen back.
    studyScreenPainted_ = true;
    if (splash) {
        studyScreenPainted_ = false;
        if (!panel_.whenFramePainted(this, [this] { studyScreenPainted_ = true; }))
            studyScreenPainted_ = true;
    }
    fade_ = std::jthread(
        [this, run, splash](std::stop_token stop) { runFade(std::move(stop), run, splash); });
}

void ScreensaverWindow::stopFade()
{
    if (fade_.joinable()) {
        fade_.request_stop();
        fade_.join();
    }
}

void ScreensaverWindow::postFadeStep(int run, std::function<void()> step)
{
    // Steps of a fade that a later StartFade replaced are dropped.
    QMetaObject::invokeMethod(
        this,
        [this, run, step = std::move(step)] {
            if (run == fadeRun_)
                step();
        },
        Qt::QueuedConnection);
}

// The worker thread. Every pause and step ends early once fadeRequested is
// cleared (ShowSolid) or the window goes.
void ScreensaverWindow::runFade(std::stop_token stop, int run, bool splash)
{
    const auto wanted = [&] { return fadeRequested_ != 0 && !stop.stop_requested(); };
    const auto pause = [&](int ms) {
        if (wanted())
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };

    if (splash) {
        // At most half a second: a frame that painted before the fade
        // started reports it no more.
        for (int i = 0; i < 50 && !studyScreenPainted_ && wanted(); ++i)
            pause(10);
        splashStage = 1;
        for (int alpha = 0; alpha <= 255 && wanted(); alpha += kFadeInStep) {
            postFadeStep(run, [this, alpha] { fadeStep(alpha); });
            pause(10);
        }
        postFadeStep(run, [this] { showWindowSet(0); });
        for (int i = 0; i < 11 && wanted(); ++i)
            pause(10);
        postFadeStep(run, [this] { showWindowSet(1); });
        for (int i = 0; i < 11 && wanted(); ++i)
            pause(20);
        postFadeStep(run, [this] { showWindowSet(2); });
        for (int alpha = 255, ms = 10; alpha >= 0 && wanted(); alpha -= kFadeOutStep, ms += 2) {
            postFadeStep(run, [this, alpha] { fadeStep(alpha); });
            pause(ms);
        }
        splashStage = 3;
    } else {
        for (int alpha = 255; alpha >= 0 && wanted(); alpha -= kFadeOutStep) {
            postFadeStep(run, [this, alpha] { fadeStep(alpha); });
            pause(1);
        }
    }
    postFadeStep(run, [this, splash] { finishFade(splash); });
}

void ScreensaverWindow::fadeStep(int alpha)
{
    // Posted before a ShowSolid that has since stopped the fade.
    if (fadeRequested_ == 0)
        return;
    Redraw(alpha);
}

void ScreensaverWindow::showWindowSet(int which)
{
    // The splash brings up the rest of the study screen in turn, each window
    // whatever became of the fade.
    panel_.showStudyWindow(which);
}

void ScreensaverWindow::finishFade(bool splash)
{
    if (fadeRequested_ != 0)
        hide();
    else
        Redraw(255);
    fadeRequested_ = 0;
    if (splash)
        emit splashFinished();
}

bool ScreensaverWindow::event(QEvent* event)
{
    // No key does anything here: the backdrop must not be closed or
    // operated by a stray key while the learner types.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return LayeredWindow::event(event);
}

bool ScreensaverWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        const bool exposed = windowHandle()->isExposed();
        if (exposed && !exposed_)
            keepOwnedWindowsInFront(this);
        exposed_ = exposed;
    }
    return LayeredWindow::eventFilter(watched, event);
}

void ScreensaverWindow::mousePressEvent(QMouseEvent* event)
{
    // The window manager raised this window on the click.
    keepOwnedWindowsInFront(this);
    if (event->button() != Qt::LeftButton || !state_.dictationMode) {
        LayeredWindow::mousePressEvent(event);
        return;
    }
    if (toggleBox().contains(event->position().toPoint())) {
        SetScreensaverOn(!screensaverOn_);
        return;
    }
    if (pictures_.index() >= 0) {
        const QPoint screen = event->globalPosition().toPoint();
        const int boxesLeft = panel_.screenWidth - 3 * kPictureBoxSize;
        const int fromTop = screen.y() - y();
        if (fromTop >= 0 && fromTop < kPictureBoxSize && screen.x() >= boxesLeft &&
            screen.x() < panel_.screenWidth) {
            if (screensaverOn_)
                clickPictureBox((screen.x() - boxesLeft) / kPictureBoxSize);
            return;
        }
    }
    LayeredWindow::mousePressEvent(event);
}

void ScreensaverWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit panel_.contextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    LayeredWindow::mouseReleaseEvent(event);
}

void ScreensaverWindow::clickPictureBox(int box)
{
    switch (box) {
    case 0: {
        const QString chosen = choosePicture_
                                   ? choosePicture_()
                                   : QFileDialog::getOpenFileName(this, QString(), QString(),
                                                                  QStringLiteral("(*.jpg *.png)"));
        if (chosen.isEmpty())
            return;
        if (pictures_.add(cfgFolder_, chosen).result == PictureList::AddResult::Full) {
            playErrorCue(panel_.services().media);
            showTip(QStringLiteral("屏保图片已满"));
            return;
        }
        SetScreensaverOn(true);
        break;
    }
    case 1:
        SetScreensaverOn(true);
        break;
    default:
        if (!pictures_.removeShown(cfgFolder_).isEmpty())
            SetScreensaverOn(true);
        break;
    }
}

void ScreensaverWindow::tick()
{
    if (UnitLibrary* library = panel_.services().library)
        library->UpdateTotal();
    if (state_.dictationMode && screensaverOn_) {
        // The allow list matters from now on: a learner whose App.ini was
        // cut short hears of it once. (Not when the screensaver comes on:
        // the change of mode hides tips then.)
        if (allowList_.restIgnored() && !toldAllowListCut_) {
            toldAllowListCut_ = true;
            showTip(AllowList::restIgnoredNote());
        }
        guardForeground();
        tipPictureBox();
    } else {
        tippedBox_ = -1;
    }
}

void ScreensaverWindow::tipPictureBox()
{
    // The boxes are drawn, not controls: the mouse resting on one names it.
    const QPoint cursor = state_.cursorPos;
    const int boxesLeft = panel_.screenWidth - 3 * kPictureBoxSize;
    const int fromTop = cursor.y() - y();
    const bool onBoxes = fromTop >= 0 && fromTop < kPictureBoxSize && cursor.x() >= boxesLeft &&
                         cursor.x() < panel_.screenWidth;
    const int box = onBoxes ? (cursor.x() - boxesLeft) / kPictureBoxSize : -1;
    if (box == tippedBox_)
        return;
    tippedBox_ = box;
    if (box >= 0)
        showTip(kBoxTips[box]);
}

void ScreensaverWindow::guardForeground()
{
    if (!windowSourceLookedFor_)
        setWindowSource(X11WindowSource::forThisDesktop());
    if (!guard_)
        return;
    const ForegroundGuard::Step step = guard_->guard(winId(), frameGeometry());
    // An intruder that outlasted the whole sequence: the screensaver gives
    // way rather than fight it on every tick.
    if (step.closeScreensaver)
        SetScreensaverOn(false);
    if (step.acted) {
        panel_.bringFrameToFront();
        keepOwnedWindowsInFront(this);
    }
}

void ScreensaverWindow::keepOwnedWindowsInFront(QWidget* owner)
{
    // Raising this window (the frame brings it up, a click on it raises it)
    // must not bury the windows it owns, the progress panel first among
    // them: each comes up after its owner, as owned windows stay in front.
    for (QWidget* child : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow() && child->isVisible())
            child->raise();
        keepOwnedWindowsInFront(child);
    }
}

} // namespace dictora
