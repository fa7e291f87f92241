#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace vorna {

class AppContext;

// The base of every child window of the main window. While it lives it holds
// ctx.childWindowOpen at its own value (so the toolbar opens nothing else), it has the fixed
// size its twips give, and it refreshes its controls whenever either link goes up or down.
//
// Every handler runs its body through handle(): an exchange pumps events, so without it a click
// could start a handler inside another, or a close could pull the window from under it. While a
// handler runs, the window's other handlers are refused (unless they may overlap), a close waits
// until the last handler returns, and a link change refreshes the controls then. A handler that
// reuses another calls it through nested(), which runs it as part of itself.
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

    // How a handler meets another handler of the window that is running (waiting for the
    // instrument, or in the middle of its work when a focus change or a timer comes).
    enum class Overlap {
        Refused, // the usual case: nothing happens
        Runs,    // it sends nothing and must work meanwhile ("Stop")
    };

    // A handler of this window is running.
    bool handlerRunning() const { return handlers_ > 0; }
    // Closes the window (its frame in the main window's area, if it has one); during a handler
    // the close waits until the handler returns.
    void closeWindow();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Runs body as a handler of the window; false when it was refused and did not run.
    template <typename F> bool handle(F&& body, Overlap overlap = Overlap::Refused) {
        const Scope scope(*this, overlap);
        if (scope.refused) return false;
        body();
        return true;
    }
    // Calls a handler of this window from inside another one: it runs as part of the caller.
    template <typename F> void nested(F&& call) {
        nestedCall_ = true;
        call();
        nestedCall_ = false;
    }
    // Opens a window that belongs to this one, as the chart belongs to the browser whose grid it
    // reads. One at a time in slot: make builds it when slot is empty; otherwise the open one
    // comes to the front. It stands in this window's area (on its own when this window has
    // none), goes when this window goes (after this window's own destructor, so it must not
    // reach back into it as it goes), and slot turns null when it closes.
    template <typename W, typename Make> W* openSubWindow(QPointer<W>& slot, Make&& make) {
        if (slot) {
            raiseSubWindow(slot);
        } else {
            slot = make();
            showSubWindow(slot);
        }
        return slot;
    }
    // A control of the window, named as tests and the behaviour know it.
    template <typename W> static W* named(W* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }
    AppContext& ctx_;

private:
    struct Scope {
        Scope(ChildWindow& w, Overlap overlap);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        ChildWindow& w;
        bool refused;
    };
    void handlerEnded();
    void showSubWindow(ChildWindow* sub);
    void raiseSubWindow(ChildWindow* sub);

    int openValue_;
    int handlers_ = 0;
    bool nestedCall_ = false;
    bool closePending_ = false;
    bool linkChangePending_ = false;
    std::vector<QPointer<ChildWindow>> subWindows_;
};

} // namespace vorna
