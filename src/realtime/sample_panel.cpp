#include "sample_panel.h"

#include "app_context.h"
#include "error_trap.h"
#include "sample_grid_view.h"
#include "sample_table.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <tuple>

namespace vorna {

void intestazione_griglia(AppContext& ctx, SampleGridView& grMis) {
    guard(ctx, QStringLiteral("intestazione_griglia"), [&] {
        grMis.grid().setCaptions(gridCaptions(ctx));
        grMis.grid().clearSamples();
        grMis.grid().table().selectRow(1);
        return true;
    });
}

QGroupBox* timeFrame(QWidget* parent, const char* which, const char* prefix,
                     const std::function<QWidget*(QGroupBox* frame)>& makeField, QWidget*& hour,
                     QWidget*& minute) {
    const QString name = QString::fromLatin1(which);
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(QStringLiteral("fr_") + name.toLower());
    auto* row = new QHBoxLayout(frame);
    for (auto [field, unit, caption] :
         {std::tuple{&hour, 'H', "hr"}, std::tuple{&minute, 'M', "min"}}) {
        const QString suffix = name + QLatin1Char(unit);
        *field = makeField(frame);
        (*field)->setObjectName(QString::fromLatin1(prefix) + suffix);
        auto* label = new QLabel(QString::fromLatin1(caption), frame);
        label->setObjectName(QStringLiteral("lb") + suffix);
        label->setBuddy(*field);
        row->addWidget(*field);
        row->addWidget(label);
    }
    return frame;
}

} // namespace vorna
