#pragma once

#include <QWidget>

namespace vorna {

class AppContext;

// The base of every child window of the main window. While it lives it holds
// ctx.childWindowOpen at its own value (so the toolbar opens nothing else), it has the fixed
// size its twips give, and it refreshes its controls whenever either link goes up or down.
//
// Click handlers run inside a Handler scope: an exchange pumps events, so without it a second
// click could start a handler inside the first one, or a close could pull the window from under
// it. While a handler runs, further handlers of the window are refused and a close request is
// kept until the handler returns.
class ChildWindow : public QWidget {
    Q_OBJECT
public:
    // name is the window's objectName; openValue is what childWindowOpen holds while it lives
    // (0: a window that leaves it alone).
    ChildWindow(AppContext& ctx, const QString& name, int openValue, int widthTwips,
                int heightTwips, QWidget* parent = nullptr);
    ~ChildWindow() override;

    // Captions from the catalogue in the current language.
    virtual void set_messages() {}
    // The base or the remote link went up or down; windows call their gestione_* routine.
    virtual void linkChanged() {}

    // A handler of this window is running.
    bool handlerRunning() const { return handlers_ > 0; }
    // Closes the window (its frame in the main window's area, if it has one); during a handler
    // the close waits until the handler returns.
    void closeWindow();

    class Handler {
    public:
        explicit Handler(ChildWindow& w);
        ~Handler();
        Handler(const Handler&) = delete;
        Handler& operator=(const Handler&) = delete;
        // Another handler of the window is running: this one must do nothing.
        bool refused() const { return refused_; }

    private:
        ChildWindow& w_;
        bool refused_;
    };

protected:
    void closeEvent(QCloseEvent* event) override;
    // Runs routine as a click handler: nothing happens while another handler of the window runs.
    template <typename F> void handled(F&& routine) {
        const Handler h(*this);
        if (!h.refused()) routine();
    }
    // A control of the window, named as tests and the behaviour know it.
    template <typename W> static W* named(W* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }
    AppContext& ctx_;

private:
    void handlerEnded();

    int openValue_;
    int handlers_ = 0;
    bool closePending_ = false;
    bool linkChangePending_ = false;
};

} // namespace vorna
