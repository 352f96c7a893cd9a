#include "support/gui_modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "support/gui_operator.h"

namespace {

void poll(std::function<void(QWidget*)> answer, std::shared_ptr<QElapsedTimer> clock, int timeout_ms)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible()) {
        answer(modal);
        return;
    }
    if (clock->elapsed() > timeout_ms) {
        ADD_FAILURE() << "no modal widget appeared within " << timeout_ms << " ms";
        return;
    }
    QTimer::singleShot(10, [answer, clock, timeout_ms] { poll(answer, clock, timeout_ms); });
}

// The button that Return presses, whether the box chose it or was told.
QPushButton* default_button(QMessageBox* box)
{
    for (QPushButton* button : box->findChildren<QPushButton*>()) {
        if (button->isDefault()) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

void when_modal_shown(std::function<void(QWidget* modal)> answer, int timeout_ms)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QTimer::singleShot(0, [answer, clock, timeout_ms] { poll(answer, clock, timeout_ms); });
}

void click_in_next_modal(const QString& button_text, std::function<void()> then)
{
    when_modal_shown([button_text, then](QWidget* modal) {
        if (then) {
            then();
        }
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
            if (button->text().remove('&') == button_text) {
                click(button);
                return;
            }
        }
        ADD_FAILURE() << "no button " << button_text.toStdString() << " in the modal widget";
        modal->close();
    });
}

QString answering_error_boxes(const std::function<void()>& command)
{
    QString error;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&error] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        error = box->text();
        if (QPushButton* answer = default_button(box)) {
            click(answer);
        } else {
            ADD_FAILURE() << "no default button in the box " << error.toStdString();
            box->reject();
        }
    });
    watch.start(10);
    command();
    return error;
}
