#include "option_group.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace vorna {

QButtonGroup* optionGroup(QWidget* owner, const char* prefix, const QStringList& captions,
                          const std::function<void(QRadioButton* button, int id)>& place) {
    auto* group = new QButtonGroup(owner);
    for (int id = 0; id < captions.size(); ++id) {
        auto* b = new QRadioButton(captions.at(id), owner);
        b->setObjectName(QString::fromLatin1(prefix) + QLatin1Char('_') + QString::number(id));
        group->addButton(b, id);
        place(b, id);
    }
    return group;
}

} // namespace vorna
