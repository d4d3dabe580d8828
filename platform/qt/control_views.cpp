// Views of the controls that are one plain widget each: strings and prompts, entries and
// texts, buttons, checks, radios, spins, progress bars, lines, boxes, images and regions.
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QValidator>
#include <algorithm>

#include "platform/qt/container_views.h"
#include "platform/qt/icons.h"
#include "platform/qt/list_views.h"
#include "platform/qt/look.h"
#include "platform/qt/window_frame.h"
#include "platform/runtime/number_text.h"
#include "platform/window/key_codes.h"
#include "platform/window/picture_bridge.h"

namespace qtui {

using window::Change;
using window::Control;
using window::ControlType;

QString toQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQt(const QString& text) { return text.toStdString(); }

ControlView::ControlView(WindowFrame& frame, int number, QWidget* widget)
    : frame_(frame), number_(number), widget_(widget) {}

ControlView::~ControlView() { delete widget_.data(); }

namespace {

// STRING and PROMPT: a text on the window; a prompt's "&" letter moves to its buddy.
class LabelView : public ControlView {
 public:
  LabelView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QLabel(frame.client())) {
    label()->setTextFormat(Qt::PlainText);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Texts higher than about two lines wrap, as static texts on the platform do.
    label()->setWordWrap(c.at.height >= 16);
  }
  void attach(const Control& c) override {
    if (c.type != ControlType::Prompt) return;
    if (ControlView* buddy = frame_.view(frame_.nextFocusable(c.number))) {
      label()->setBuddy(buddy->focusTarget());
    }
  }
  void apply(const Control& c, unsigned changes) override {
    if (!(changes & (window::ChangeText | window::ChangeScreenText))) return;
    // A prompt shows its caption with the shortcut underlined; a string shows its text.
    label()->setText(c.type == ControlType::Prompt ? toQt(c.text) : toQt(c.screenText));
  }

 private:
  QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

// Refuses an edit that makes the text longer than `maxBytes` bytes of UTF-8, so an entry takes
// no more than its picture lets it hold and nothing is cut unseen when it is saved.
class ByteLengthValidator : public QValidator {
 public:
  ByteLengthValidator(std::size_t maxBytes, QObject* parent)
      : QValidator(parent), maxBytes_(maxBytes) {}
  State validate(QString& input, int&) const override {
    return static_cast<std::size_t>(input.toUtf8().size()) <= maxBytes_ ? Acceptable : Invalid;
  }

 private:
  std::size_t maxBytes_;
};

// ENTRY, and a single-line TEXT.
class EntryView : public ControlView {
 public:
  EntryView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QLineEdit(frame.client())) {
    if (const std::size_t width = window::stringPictureWidth(c.picture); width > 0)
      edit()->setValidator(new ByteLengthValidator(width, edit()));
    // An editor over a list's cell is as high as the row: its text fits without a frame.
    if (c.cellList != 0) edit()->setFrame(false);
    const int number = c.number;
    QObject::connect(edit(), &QLineEdit::textEdited, edit(), [this, number](const QString& t) {
      frame_.report([&](window::Window& w) { w.textEdited(number, fromQt(t)); });
    });
  }
  bool keepsNaturalHeight() const override { return true; }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeScreenText) {
      const QString text = toQt(c.screenText);
      if (edit()->text() != text) edit()->setText(text);
    }
    if (changes & window::ChangeState) edit()->setReadOnly(c.readOnly);
  }

 private:
  QLineEdit* edit() const { return static_cast<QLineEdit*>(widget()); }
};

// A multi-line TEXT. Its lines end in CR LF for the engine.
class TextView : public ControlView {
 public:
  TextView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QPlainTextEdit(frame.client())) {
    edit()->setTabChangesFocus(true);
    const int number = c.number;
    QObject::connect(edit(), &QPlainTextEdit::textChanged, edit(), [this, number] {
      QString text = edit()->toPlainText();
      text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
      frame_.report([&](window::Window& w) { w.textEdited(number, fromQt(text)); });
    });
  }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeScreenText) {
      QString text = toQt(c.screenText);
      text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
      if (edit()->toPlainText() != text) edit()->setPlainText(text);
    }
    if (changes & window::ChangeState) {
      edit()->setReadOnly(c.readOnly);
      // A read-only text keeps its caret for the keyboard, which marks the focus and moves
      // through the text.
      if (c.readOnly)
        edit()->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
  }

 private:
  QPlainTextEdit* edit() const { return static_cast<QPlainTextEdit*>(widget()); }
};

// Reports clicks of a button, check or radio; the engine decides the checked state, which is
// shown again after each click (a click the engine refuses changes nothing).
void reportClicks(WindowFrame& frame, QAbstractButton* button, int number) {
  QObject::connect(button, &QAbstractButton::clicked, button, [&frame, number] {
    frame.report([number](window::Window& w) { w.clicked(number); });
    frame.controlChanged(number, window::ChangeState);
  });
}

class ButtonView : public ControlView {
 public:
  ButtonView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QPushButton(frame.client())) {
    button()->setAutoDefault(false);
    reportClicks(frame, button(), c.number);
  }
  bool keepsNaturalHeight() const override { return true; }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeText) button()->setText(toQt(c.text));
    if (changes & (window::ChangeText | window::ChangeLook)) button()->setIcon(iconOf(c.icon));
    if (changes & window::ChangeState) button()->setDefault(c.isDefault);
  }

 private:
  QPushButton* button() const { return static_cast<QPushButton*>(widget()); }
};

class CheckView : public ControlView {
 public:
  CheckView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QCheckBox(frame.client())) {
    reportClicks(frame, box(), c.number);
  }
  bool keepsNaturalHeight() const override { return true; }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeText) box()->setText(toQt(c.text));
    if (changes & (window::ChangeState | window::ChangeScreenText)) box()->setChecked(c.checked);
  }

 private:
  QCheckBox* box() const { return static_cast<QCheckBox*>(widget()); }
};

// A radio of an OPTION. The arrow keys choose the radio before or after it in its option, as
// the platform's radio groups do.
class RadioButton : public QRadioButton {
 public:
  RadioButton(WindowFrame& frame, int number, QWidget* parent)
      : QRadioButton(parent), frame_(frame), number_(number) {
    setAutoExclusive(false);  // the engine keeps one radio of an option checked
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int step = event->key() == Qt::Key_Up || event->key() == Qt::Key_Left      ? -1
                     : event->key() == Qt::Key_Down || event->key() == Qt::Key_Right ? 1
                                                                                     : 0;
    const window::Window* w = frame_.engineWindow();
    if (step == 0 || !w) return QRadioButton::keyPressEvent(event);
    const Control* self = w->control(number_);
    std::vector<int> group;
    for (const auto& [n, r] : w->controls()) {
      if (r.type == ControlType::Radio && r.parent == self->parent && !r.disabled) {
        group.push_back(n);
      }
    }
    const auto it = std::find(group.begin(), group.end(), number_);
    const std::ptrdiff_t at = (it - group.begin()) + step;
    if (it == group.end() || at < 0 || at >= static_cast<std::ptrdiff_t>(group.size())) return;
    const int next = group[static_cast<std::size_t>(at)];
    frame_.report([next](window::Window& win) { win.clicked(next); });
  }

 private:
  WindowFrame& frame_;
  int number_;
};

class RadioView : public ControlView {
 public:
  RadioView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new RadioButton(frame, c.number, frame.client())) {
    reportClicks(frame, radio(), c.number);
  }
  bool keepsNaturalHeight() const override { return true; }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeText) radio()->setText(toQt(c.text));
    if (changes & (window::ChangeState | window::ChangeScreenText)) radio()->setChecked(c.checked);
  }

 private:
  QRadioButton* radio() const { return static_cast<QRadioButton*>(widget()); }
};

// SPIN: a number within the control's range; its text goes to the engine by the picture.
class SpinView : public ControlView {
 public:
  SpinView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QSpinBox(frame.client())) {
    const int number = c.number;
    QObject::connect(spin(), &QSpinBox::valueChanged, spin(), [this, number](int value) {
      const window::Window* w = frame_.engineWindow();
      const Control* self = w ? w->control(number) : nullptr;
      if (!self) return;
      const std::string text = window::screenTextOf(window::Value::number(value), self->picture);
      frame_.report([&](window::Window& win) { win.textEdited(number, text); });
    });
  }
  bool keepsNaturalHeight() const override { return true; }
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeProgress)
      spin()->setRange(c.rangeLow, std::max(c.rangeLow, c.rangeHigh));
    if (changes & window::ChangeScreenText) {
      spin()->setValue(static_cast<int>(runtime::textToReal(c.screenText)));
    }
    if (changes & window::ChangeState) spin()->setReadOnly(c.readOnly);
  }

 private:
  QSpinBox* spin() const { return static_cast<QSpinBox*>(widget()); }
};

class ProgressView : public ControlView {
 public:
  ProgressView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QProgressBar(frame.client())) {
    bar()->setTextVisible(false);
  }
  void apply(const Control& c, unsigned changes) override {
    if (!(changes & window::ChangeProgress)) return;
    const int high = std::max(c.rangeLow, c.rangeHigh);
    bar()->setRange(c.rangeLow, high);
    bar()->setValue(std::clamp(c.progress, c.rangeLow, high));
  }

 private:
  QProgressBar* bar() const { return static_cast<QProgressBar*>(widget()); }
};

// LINE and BOX: drawn in the palette's shadow colour, or in the control's own colour.
class Drawn : public QWidget {
 public:
  Drawn(ControlType type, QWidget* parent) : QWidget(parent), type_(type) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  void setColor(const QColor& color) {
    color_ = color;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(color_.isValid() ? color_ : palette().color(QPalette::Mid), 1));
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (type_ == ControlType::Box) {
      p.drawRect(r);
    } else if (r.height() <= 2) {
      p.drawLine(r.left(), r.top(), r.right(), r.top());
    } else if (r.width() <= 2) {
      p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    } else {
      p.setRenderHint(QPainter::Antialiasing);
      p.drawLine(r.topLeft(), r.bottomRight());
    }
  }

 private:
  ControlType type_;
  QColor color_;
};

class DrawnView : public ControlView {
 public:
  DrawnView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new Drawn(c.type, frame.client())) {}
  void apply(const Control& c, unsigned changes) override {
    if (changes & window::ChangeLook) {
      static_cast<Drawn*>(widget())->setColor(colorOf(c.fontColor, widget()->palette()));
    }
  }
};

// IMAGE: a picture file, or one of our drawn icons, fitted into the control.
class ImageView : public ControlView {
 public:
  ImageView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new QLabel(frame.client())) {
    label()->setAlignment(Qt::AlignCenter);
  }
  void apply(const Control& c, unsigned changes) override {
    if (!(changes & (window::ChangeText | window::ChangeGeometry))) return;
    const QSize room = frame_.units().size(c.at.width, c.at.height);
    QPixmap picture;
    if (isDrawnIcon(c.text)) {
      picture = iconOf(c.text).pixmap(room, label()->devicePixelRatioF());
    } else {
      QString path = toQt(c.text);
      path.replace(QLatin1Char('\\'), QLatin1Char('/'));
      picture.load(path);
      if (!picture.isNull() && room.isValid()) {
        picture = picture.scaled(room * label()->devicePixelRatioF(), Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        picture.setDevicePixelRatio(label()->devicePixelRatioF());
      }
    }
    label()->setPixmap(picture);
  }

 private:
  QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

// REGION: an invisible rectangle that takes clicks (the mouse movement over it reaches the
// engine like any other).
class Region : public QWidget {
 public:
  Region(WindowFrame& frame, int number, QWidget* parent)
      : QWidget(parent), frame_(frame), number_(number) {
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int number = number_;
    frame_.report([number](window::Window& w) { w.clicked(number); });
  }

 private:
  WindowFrame& frame_;
  int number_;
};

class RegionView : public ControlView {
 public:
  RegionView(WindowFrame& frame, const Control& c)
      : ControlView(frame, c.number, new Region(frame, c.number, frame.client())) {}
  void apply(const Control&, unsigned) override {}
};

}  // namespace

std::unique_ptr<ControlView> makeControlView(WindowFrame& frame, const Control& c) {
  switch (c.type) {
    case ControlType::String:
    case ControlType::StringAlt:
    case ControlType::Prompt: return std::make_unique<LabelView>(frame, c);
    case ControlType::Entry: return std::make_unique<EntryView>(frame, c);
    case ControlType::Text:
      if (c.single) return std::make_unique<EntryView>(frame, c);
      return std::make_unique<TextView>(frame, c);
    case ControlType::Button: return std::make_unique<ButtonView>(frame, c);
    case ControlType::Check: return std::make_unique<CheckView>(frame, c);
    case ControlType::Radio: return std::make_unique<RadioView>(frame, c);
    case ControlType::Spin: return std::make_unique<SpinView>(frame, c);
    case ControlType::Progress: return std::make_unique<ProgressView>(frame, c);
    case ControlType::Line:
    case ControlType::Box: return std::make_unique<DrawnView>(frame, c);
    case ControlType::Image: return std::make_unique<ImageView>(frame, c);
    case ControlType::Region: return std::make_unique<RegionView>(frame, c);
    case ControlType::List: return makeListView(frame, c);
    case ControlType::Drop:
    case ControlType::Combo: return makeDropView(frame, c);
    default: return makeContainerView(frame, c);
  }
}

}  // namespace qtui
