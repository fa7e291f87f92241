#pragma once

#include <QStringList>
#include <functional>

class QButtonGroup;
class QRadioButton;
class QWidget;

namespace vorna {

// An exclusive group of option buttons named prefix_0, prefix_1, ... with ids 0, 1, ..., one a
// caption (empty for one the catalogue fills later). owner holds the buttons and the group;
// place lays each button out.
QButtonGroup* optionGroup(QWidget* owner, const char* prefix, const QStringList& captions,
                          const std::function<void(QRadioButton* button, int id)>& place);

} // namespace vorna
