#include "ui/failure_messages.h"

#include "ui/failure_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace padscope {

namespace {

bool isAudioFailure(Failure failure)
{
    return failure >= Failure::AudioJoinRefused;
}

QMessageBox* makeBox(const FailureReport& failure, QWidget* owner)
{
    return new QMessageBox(QMessageBox::Warning, QApplication::applicationName(), failureText(failure),
                           QMessageBox::Ok, owner);
}

}  // namespace

void FailureMessages::report(FailureReport failure)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_.push_back(std::move(failure));
    }
    QMetaObject::invokeMethod(&context_, [this] { showQueued(); }, Qt::QueuedConnection);
}

std::optional<FailureReport> FailureMessages::next()
{
    const std::lock_guard lock(mutex_);
    if (waiting_.empty())
        return std::nullopt;
    FailureReport failure = std::move(waiting_.front());
    waiting_.pop_front();
    return failure;
}

void FailureMessages::showOver(QWidget& window)
{
    window_ = &window;
    showQueued();
}

void FailureMessages::showQueued()
{
    if (!window_ || !window_->isVisible())
        return;
    while (const std::optional<FailureReport> failure = next()) {
        QMessageBox* box = makeBox(*failure, window_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        // The synth's audio goes on failing in the background: its message
        // holds only the window, as it always has; the others hold the program.
        if (isAudioFailure(failure->failure)) {
            box->open();
        } else {
            box->setWindowModality(Qt::ApplicationModal);
            box->show();
        }
    }
}

void FailureMessages::showWaiting()
{
    while (const std::optional<FailureReport> failure = next()) {
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), failureText(*failure), QMessageBox::Ok);
        box.exec();
    }
}

}  // namespace padscope
