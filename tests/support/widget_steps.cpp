// What any window test does to a widget; apart from the rig, so that tests of windows outside
// the main program link only this.
#include "window_rig.h"

#include <QListWidget>

namespace vorna::test {

void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QStringList entries(QWidget* list) {
    QStringList out;
    if (auto* cb = qobject_cast<QComboBox*>(list))
        for (int i = 0; i < cb->count(); ++i)
            out << cb->itemText(i);
    if (auto* lb = qobject_cast<QListWidget*>(list))
        for (int i = 0; i < lb->count(); ++i)
            out << lb->item(i)->text();
    return out;
}

QImage screenshot(QWidget* w, const QString& name) {
    const QString file = screenshotDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    EXPECT_TRUE(w->grab().save(file)) << file.toStdString();
    const QImage back(file);
    EXPECT_EQ(back.size(), w->size() * w->devicePixelRatio()) << file.toStdString();
    return back;
}

} // namespace vorna::test
