#include "qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace vorna {

QWidget* QtPrompts::owner() {
    return QApplication::activeWindow();
}

void QtPrompts::warning(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner());
    box.exec();
}

bool QtPrompts::question(const QString& text, const QString& title, QuestionIcon icon) {
    QMessageBox box(icon == QuestionIcon::None ? QMessageBox::NoIcon : QMessageBox::Question, title,
                    text, QMessageBox::Yes | QMessageBox::No, owner());
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::saveFileName(const QString& filter, const QString& suggested,
                                QString* selectedFilter) {
    return QFileDialog::getSaveFileName(owner(), {}, suggested, filter, selectedFilter);
}

QString QtPrompts::openFileName(const QString& filter) {
    return QFileDialog::getOpenFileName(owner(), {}, {}, filter);
}

} // namespace vorna
