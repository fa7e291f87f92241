#include "main_window.h"

#include "app_context.h"
#include "catalogue_loader.h"
#include "child_window.h"
#include "child_windows.h"
#include "database_init.h"
#include "drawn_icons.h"
#include "error_trap.h"
#include "logs.h"
#include "mdi_frame.h"
#include "mdi_title.h"
#include "program_values.h"
#include "relay.h"
#include "settings_row.h"
#include "settings_startup.h"
#include "window_indicators.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace vorna {

namespace {

// Tooltips of the language keys: each language in its own words.
const char* const kLanguageNames[] = {"English", "Français", "Español", "Deutsch", "Italiano"};

constexpr int kCloseRetryMs = 200;

LinkIndicators& noIndicators() {
    static LinkIndicators none;
    return none;
}

} // namespace

const QStringList& MainWindow::functionKeys() {
    static const QStringList keys = [] {
        QStringList k;
        for (const ChildWindowEntry& w : childWindows())
            if (!w.key.isEmpty()) k << w.key;
        return k;
    }();
    return keys;
}

const QStringList& MainWindow::languageKeys() {
    static const QStringList keys{QStringLiteral("inglese"), QStringLiteral("francese"),
                                  QStringLiteral("spagnolo"), QStringLiteral("tedesco"),
                                  QStringLiteral("italiano")};
    return keys;
}

MainWindow::MainWindow(AppContext& ctx, QString executableDir, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), executableDir_(std::move(executableDir)) {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QStringLiteral("VORNA REPORT"));
    setWindowIcon(toolbar_icon(QStringLiteral("installation")));
    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("mdiArea"));
    area_->setBackground(QColor(128, 128, 128));
    setCentralWidget(area_);
    buildToolbar();
    buildStatusPanel();
    resize(860, 700);

    indicators_ =
        std::make_unique<WindowIndicators>(imSemVerde_, imSemRosso_, lbStatoConn_, progressBar1_);
    ctx_.indicators = indicators_.get();
    connectReceiveEvents(ctx_, this);

    for (const ChildWindowEntry& w : childWindows())
        setChildWindow(w.name, w.make);
    ctx_.openWindow = [this](const QString& name) { openChild(name); };
}

MainWindow::~MainWindow() {
    MDIForm_Unload();
    ctx_.openWindow = [](const QString&) {};
    ctx_.indicators = &noIndicators();
}

void MainWindow::buildToolbar() {
    barracomandi_ = addToolBar(QStringLiteral("barracomandi"));
    barracomandi_->setObjectName(QStringLiteral("barracomandi"));
    barracomandi_->setMovable(false);
    barracomandi_->setIconSize(QSize(32, 32));
    auto add = [&](const QString& key) {
        QAction* a = barracomandi_->addAction(toolbar_icon(key), key);
        a->setObjectName(key);
        connect(a, &QAction::triggered, this, [this, key] { barracomandi_ButtonClick(key); });
        keys_.insert(key, a);
        return a;
    };
    for (const QString& key : functionKeys())
        add(key);
    barracomandi_->addSeparator();
    for (int i = 0; i < languageKeys().size(); ++i) {
        QAction* a = add(languageKeys().at(i));
        a->setCheckable(true);
        a->setToolTip(QString::fromUtf8(kLanguageNames[i]));
    }
}

void MainWindow::buildStatusPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 2);

    lbStatoConn_ = new QLabel(panel);
    lbStatoConn_->setObjectName(QStringLiteral("lbStatoConn"));
    imSemVerde_ = new QLabel(panel);
    imSemVerde_->setObjectName(QStringLiteral("imSemVerde"));
    imSemVerde_->setPixmap(lamp_pixmap(true));
    imSemRosso_ = new QLabel(panel);
    imSemRosso_->setObjectName(QStringLiteral("imSemRosso"));
    imSemRosso_->setPixmap(lamp_pixmap(false));
    imSemVerde_->hide();

    lbRS232Activity_ = new QLabel(panel);
    lbRS232Activity_->setObjectName(QStringLiteral("lbRS232Activity"));
    progressBar1_ = new QProgressBar(panel);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);
    progressBar1_->setFixedWidth(160);

    row->addWidget(lbStatoConn_);
    row->addWidget(imSemVerde_);
    row->addWidget(imSemRosso_);
    row->addStretch(1);
    row->addWidget(lbRS232Activity_);
    row->addWidget(progressBar1_);
    statusBar()->addPermanentWidget(panel, 1);
    statusBar()->setSizeGripEnabled(false);
}

bool MainWindow::MDIForm_Load() {
    Link& l = ctx_.link;
    return guard(ctx_, QStringLiteral("MDIForm_Load"), [&] {
        ctx_.childWindowOpen = 0;
        l.trafficLogEnabled = true;
        // init_sw logs its own failure; the database step below reports a data folder it
        // could not use.
        init_sw(ctx_, executableDir_);
        l.trafficLogEnabled = false;
        if (!database_init(ctx_))
            throw RunError(err::kFileAccess, QStringLiteral("no database in ") + ctx_.appPath);
        SettingsRow::open(ctx_);
        lang_buttons();
        reset_messages(ctx_);
        read_messagges_1(ctx_);
        read_messagges_2(ctx_);
        read_messagges_3(ctx_);
        set_messages_mdi();
        repair_remote_port(ctx_);
        apply_stored_port_numbers(ctx_);
        lbStatoConn_->setVisible(true);
        imSemRosso_->setVisible(true);
        imSemVerde_->setVisible(false);
        l.resetForStart();
        delete_rows_by_tab1(ctx_);
        openChild(QStringLiteral("setup"));
        return true;
    });
}

void MainWindow::MDIForm_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // Child windows borrow the context: they go before the ports and the database. A window
    // may close another as it goes (the browser its chart): guarded pointers skip it then.
    QList<QPointer<QMdiSubWindow>> frames;
    for (QMdiSubWindow* w : area_->subWindowList())
        frames << w;
    for (const QPointer<QMdiSubWindow>& w : frames)
        delete w.data();
    guard(ctx_, QStringLiteral("MDIForm_Unload"), [&] {
        chiudi_com_base(ctx_);
        chiudi_com_remota(ctx_);
        ctx_.settings.reset();
        ctx_.db.close();
        return true;
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // While an exchange or a child's handler runs (they pump events), closing would pull the
    // ports, the database or the child window from under it: close once it is over.
    bool busy = ctx_.link.busy();
    for (QMdiSubWindow* w : area_->subWindowList())
        busy = busy || (w->widget() && !w->widget()->close());
    if (busy && !unloaded_) {
        event->ignore();
        QTimer::singleShot(kCloseRetryMs, this, &QWidget::close);
        return;
    }
    MDIForm_Unload();
    event->accept();
}

void MainWindow::barracomandi_ButtonClick(const QString& key) {
    const bool ok = guard(ctx_, QStringLiteral("barracomandi_ButtonClick"), [&] {
        if (ctx_.childWindowOpen == 0) {
            if (key == QLatin1String("realtime")) {
                if (!ctx_.link.baseLinkUp()) return true;
                ctx_.realtimeFromToolbar = true;
            } else if (key == QLatin1String("installation")) {
                ctx_.realtimeFromToolbar = false;
            }
            const int language = int(languageKeys().indexOf(key));
            if (language >= 0) {
                ctx_.languageIndex = language;
                save_language(ctx_);
                applyLanguage();
            } else {
                openChild(windowForKey(key));
            }
        }
        lang_buttons();
        return true;
    });
    // A failed key must not leave its language button pressed.
    if (!ok) lang_buttons();
}

void MainWindow::set_messages_mdi() {
    guard(ctx_, QStringLiteral("set_messages_mdi"), [&] {
        setWindowTitle(mdi_title(ctx_, executable_modified()));
        lbStatoConn_->setText(ctx_.msg(96));
        lbRS232Activity_->setText(ctx_.msg(103));
        for (int i = 0; i < functionKeys().size(); ++i) {
            QAction* a = keys_.value(functionKeys().at(i));
            a->setToolTip(ctx_.msg(164 + i));
            a->setText(ctx_.msg(164 + i));
        }
        return true;
    });
}

void MainWindow::applyLanguage() {
    set_messages_mdi();
    for (QMdiSubWindow* w : area_->subWindowList())
        if (auto* child = qobject_cast<ChildWindow*>(w->widget())) child->set_messages();
}

void MainWindow::lang_buttons() {
    guard(ctx_, QStringLiteral("lang_buttons"), [&] {
        barracomandi_->setUpdatesEnabled(false);
        for (int i = 0; i < languageKeys().size(); ++i)
            keys_.value(languageKeys().at(i))->setChecked(i == ctx_.languageIndex);
        barracomandi_->setUpdatesEnabled(true);
        return true;
    });
}

void MainWindow::setChildWindow(const QString& name, ChildFactory factory) {
    factories_.insert(name, std::move(factory));
}

void MainWindow::openChild(const QString& name) {
    const ChildFactory factory = factories_.value(name);
    if (!factory) return;
    if (QWidget* child = factory(ctx_)) showChild(child);
}

void MainWindow::showChild(QWidget* child) {
    showInMdiArea(area_, child);
}

QWidget* MainWindow::currentChild() const {
    const auto list = area_->subWindowList();
    return list.isEmpty() ? nullptr : list.first()->widget();
}

} // namespace vorna
