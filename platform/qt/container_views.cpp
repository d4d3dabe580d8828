#include "platform/qt/container_views.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

#include "platform/qt/event_watch.h"
#include "platform/qt/icons.h"
#include "platform/qt/window_frame.h"

namespace qtui {

using window::Control;
using window::ControlType;

namespace {

// SHEET: the tab bar and frame; its TABs are the pages.
class SheetView : public ControlView {
 public:
  SheetView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QTabWidget(frame.client())) {
    const int number = c.number;
    QObject::connect(tabs(), &QTabWidget::currentChanged, tabs(), [this, number](int index) {
      if (frame_.showingState()) return;
      const int tab = frame_.controlOf(tabs()->widget(index));
      if (tab != 0) frame_.report([tab](window::Window& w) { w.clicked(tab); });
      // The engine may refuse the tab; the sheet shows the engine's choice.
      frame_.controlChanged(number, window::ChangeChoice);
    });
  }
  QTabWidget* tabs() const { return static_cast<QTabWidget*>(widget()); }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeChoice && c.choice >= 1 && c.choice <= tabs()->count()) {
      tabs()->setCurrentIndex(c.choice - 1);
    }
  }
};

// TAB: a page of its sheet; the controls on it are children of the page.
class TabView : public ControlView {
 public:
  TabView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QWidget(frame.client())) {
    const int number = c.number;
    // The page's place in the client area is known once the sheet has laid it out.
    new EventWatch(widget(), {QEvent::Move, QEvent::Resize, QEvent::Show},
                   [this, number] { frame_.placeChildrenOf(number); });
  }
  bool placedByFrame() const override { return sheet_ == nullptr; }
  QWidget* childContainer() const override { return widget(); }
  QPoint childOrigin() const override { return widget()->mapTo(frame_.client(), QPoint()); }

  void attach(const Control& c) override {
    const auto* sheetView = dynamic_cast<SheetView*>(frame_.view(c.parent));
    if (!sheetView) return;
    sheet_ = sheetView->tabs();
    // Pages stand in the order of their tabs' numbers.
    int index = 0;
    for (const auto& [number, sibling] : frame_.engineWindow()->controls()) {
      if (number < c.number && sibling.parent == c.parent && sibling.type == ControlType::Tab) {
        ++index;
      }
    }
    sheet_->insertTab(std::min(index, sheet_->count()), widget(), toQt(c.text));
  }
  void apply(const Control& c, unsigned changes) override {
    if (!sheet_) return;
    const int index = sheet_->indexOf(widget());
    if (changes & window::ChangeText) sheet_->setTabText(index, toQt(c.text));
    if (changes & window::ChangeState) {
      sheet_->setTabVisible(index, !c.hidden);
      sheet_->setTabEnabled(index, !c.disabled);
    }
    if (changes & window::ChangeLook) sheet_->setTabToolTip(index, toQt(c.tip));
  }

 private:
  QTabWidget* sheet_ = nullptr;
};

// GROUP and OPTION: a frame with its title on the frame's top line, as dialog layouts expect
// (their controls stand just below the title); an option without a title shows nothing.
class GroupFrame : public QWidget {
 public:
  explicit GroupFrame(QWidget* parent) : QWidget(parent) {}
  void setTitle(const QString& title) {
    title_ = title;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics metrics(font());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Mid), 1));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, metrics.height() / 2 + 0.5, -0.5, -0.5), 2, 2);
    if (title_.isEmpty()) return;
    const int margin = metrics.averageCharWidth();
    QRect text = metrics.boundingRect(QRect(margin, 0, width() - 2 * margin, metrics.height()),
                                      Qt::TextShowMnemonic, title_);
    text.adjust(-margin / 2, 0, margin / 2, 0);
    p.fillRect(text, palette().brush(backgroundRole()));
    style()->drawItemText(&p, text, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                          title_, QPalette::WindowText);
  }

 private:
  QString title_;
};

// PANEL: a raised panel. Neither takes clicks: they go to what lies under them.
QWidget* makeFrameWidget(const Control& c, QWidget* parent) {
  QWidget* w;
  if (c.type == ControlType::Panel) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    w = panel;
  } else if (c.type == ControlType::Group || !c.text.empty()) {
    w = new GroupFrame(parent);
  } else {
    w = new QWidget(parent);
  }
  w->setAttribute(Qt::WA_TransparentForMouseEvents);
  return w;
}

class FrameView : public ControlView {
 public:
  FrameView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, makeFrameWidget(c, frame.client())) {}
  void apply(const Control& c, unsigned changes) override {
    auto* group = dynamic_cast<GroupFrame*>(widget());
    if (group && (changes & window::ChangeText)) group->setTitle(toQt(c.text));
  }
};

// MENU: a menu of the menu bar, or a submenu.
class MenuView : public ControlView {
 public:
  MenuView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QMenu(&frame)) {}
  QMenu* menu() const { return static_cast<QMenu*>(widget()); }
  QAction* action() const override { return menu()->menuAction(); }
  bool placedByFrame() const override { return false; }
  void attach(const Control& c) override {
    const auto* parent = dynamic_cast<MenuView*>(frame_.view(c.parent));
    parent ? parent->menu()->addMenu(menu()) : frame_.menuBar()->addMenu(menu());
  }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeText) menu()->setTitle(toQt(c.text));
    if (changes & window::ChangeState) {
      menu()->menuAction()->setVisible(!c.hidden);
      menu()->menuAction()->setEnabled(!c.disabled);
    }
  }
};

// ITEM: an entry of a menu (or of the menu bar itself); "-" is a line.
class ItemView : public ControlView {
 public:
  ItemView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, nullptr), action_(new QAction(&frame)) {
    const int number = c.number;
    QObject::connect(action_, &QAction::triggered, action_, [this, number] {
      frame_.report([number](window::Window& w) { w.clicked(number); });
    });
  }
  ~ItemView() override { delete action_.data(); }
  QAction* action() const override { return action_.data(); }
  bool placedByFrame() const override { return false; }
  void attach(const Control& c) override {
    if (const auto* parent = dynamic_cast<MenuView*>(frame_.view(c.parent))) {
      parent->menu()->addAction(action_);
    } else {
      frame_.menuBar()->addAction(action_);
    }
  }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeText) {
      action_->setSeparator(c.text == "-");
      action_->setText(toQt(c.text));
    }
    if (changes & window::ChangeState) {
      action_->setVisible(!c.hidden);
      action_->setEnabled(!c.disabled);
    }
    if (changes & window::ChangeLook) {
      action_->setIcon(iconOf(c.icon));
      action_->setToolTip(toQt(c.tip));
    }
  }

 private:
  QPointer<QAction> action_;
};

// The part of a toolbar that its controls stand on: as high as the toolbar, as wide as its
// controls reach, so that the bar never widens the window.
class ToolStrip : public QWidget {
 public:
  using QWidget::QWidget;
  QSize sizeHint() const override {
    int right = 0;
    for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      right = std::max(right, child->geometry().right() + 1);
    }
    return QSize(right, height_);
  }
  QSize minimumSizeHint() const override { return sizeHint(); }
  void setStripHeight(int height) {
    height_ = height;
    setFixedHeight(height);
    updateGeometry();
  }

 private:
  int height_ = 0;
};

// TOOLBAR: a bar above the client area; its controls stand on it, positioned like the
// toolbar itself.
class ToolbarView : public ControlView {
 public:
  ToolbarView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QToolBar(&frame)), strip_(new ToolStrip) {
    bar()->setMovable(false);
    bar()->setFloatable(false);
    bar()->addWidget(strip_);
  }
  QToolBar* bar() const { return static_cast<QToolBar*>(widget()); }
  bool placedByFrame() const override { return false; }
  QWidget* childContainer() const override { return strip_; }
  QPoint childOrigin() const override { return origin_; }
  void attach(const Control&) override { frame_.addToolBar(Qt::TopToolBarArea, bar()); }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeGeometry) {
      const QRect r = frame_.units().rect(c.at);
      origin_ = r.topLeft();
      strip_->setStripHeight(r.height());
      frame_.placeChildrenOf(c.number);
      strip_->updateGeometry();
    }
    if (changes & window::ChangeState) {
      bar()->setVisible(!c.hidden);
      bar()->setEnabled(!c.disabled);
    }
  }

 private:
  ToolStrip* strip_;
  QPoint origin_;
};

// A kind without a look of its own.
class EmptyView : public ControlView {
 public:
  EmptyView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QWidget(frame.client())) {}
  void apply(const Control&, unsigned) override {}
};

}  // namespace

std::unique_ptr<ControlView> makeContainerView(WindowFrame& frame, const Control& c) {
  switch (c.type) {
    case ControlType::Sheet: return std::make_unique<SheetView>(frame, c);
    case ControlType::Tab: return std::make_unique<TabView>(frame, c);
    case ControlType::Group:
    case ControlType::Option:
    case ControlType::Panel: return std::make_unique<FrameView>(frame, c);
    case ControlType::Menu: return std::make_unique<MenuView>(frame, c);
    case ControlType::Item: return std::make_unique<ItemView>(frame, c);
    case ControlType::Toolbar: return std::make_unique<ToolbarView>(frame, c);
    default: return std::make_unique<EmptyView>(frame, c);
  }
}

}  // namespace qtui
