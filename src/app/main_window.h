#pragma once

#include <QHash>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QProgressBar;
class QToolBar;

namespace vorna {

class AppContext;
class ChildWindow;
class WindowIndicators;

// MDI, the program's frame: the toolbar, the connection indicators and the area in which one
// child window at a time is shown. It owns, through the context, the database, the settings
// row, the catalogue and the link for the whole run.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Builds a child window on the context; the child raises ctx.childWindowOpen while it lives.
    using ChildFactory = std::function<ChildWindow*(AppContext&)>;

    // Function keys in toolbar order (the keys of childWindows()), then the language keys in
    // language order.
    static const QStringList& functionKeys();
    static const QStringList& languageKeys();

    // executableDir is where the program lives; init_sw chooses the data folder from it.
    MainWindow(AppContext& ctx, QString executableDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence. False when a step failed (logged as "MDIForm_Load"); the window
    // stays usable.
    bool MDIForm_Load();
    // Closes the child window, both ports and the database.
    void MDIForm_Unload();
    void barracomandi_ButtonClick(const QString& key);
    void set_messages_mdi();
    void lang_buttons();
    // The captions of the main window and of every open child in the current language.
    void applyLanguage();

    // The factory of a window, by window name (a toolbar key opens the window childWindows()
    // gives it; one without a factory does nothing). The program's windows come from
    // childWindows(); tests may add or replace one.
    void setChildWindow(const QString& name, ChildFactory factory);
    // Opens the named child window, if it has a factory.
    void openChild(const QString& name);
    // Shows child in the area at its fixed size, placed at 10, 10 twips.
    void showChild(QWidget* child);
    // The child window shown, or none.
    QWidget* currentChild() const;
    QMdiArea* area() const { return area_; }
    AppContext& context() { return ctx_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildStatusPanel();

    AppContext& ctx_;
    QString executableDir_;
    QMdiArea* area_ = nullptr;
    QToolBar* barracomandi_ = nullptr;
    QHash<QString, QAction*> keys_;
    QLabel* imSemVerde_ = nullptr;
    QLabel* imSemRosso_ = nullptr;
    QLabel* lbStatoConn_ = nullptr;
    QLabel* lbRS232Activity_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;
    std::unique_ptr<WindowIndicators> indicators_;
    QHash<QString, ChildFactory> factories_;
    bool unloaded_ = false;
};

} // namespace vorna
