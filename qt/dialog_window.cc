#include "qt/dialog_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <cstdint>

namespace lexivane::qt {
namespace {

constexpr int kTwipsPerInch = 1440;
// The size the layout was drawn for, the Windows window's, and the least that the window's font
// comes down to where a caption does not fit at that size.
constexpr qreal kFontPoints = 8;
constexpr qreal kSmallestFontPoints = 6;

constexpr DialogButton kButtons[] = {
    DialogButton::Change,  DialogButton::ChangeAll, DialogButton::Ignore, DialogButton::IgnoreAll,
    DialogButton::AddWord, DialogButton::Suggest,   DialogButton::Cancel};

// Twips to pixels, rounded to the nearest pixel as the Windows window's MulDiv rounds: at
// 144 dpi every odd multiple of 5 twips falls on half a pixel.
int Pixels(std::int32_t twips, int dpi) {
  return static_cast<int>((static_cast<std::int64_t>(twips) * dpi + kTwipsPerInch / 2) /
                          kTwipsPerInch);
}

std::size_t IndexOf(const DialogControl& control) {
  return static_cast<std::size_t>(&control - SuggestionsDialog::Controls().data());
}

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The room a control gives its caption: a label's whole box, a button's inside the bevel that the
// style draws.
QSize CaptionRoom(const QWidget& widget) {
  const auto* button = qobject_cast<const QPushButton*>(&widget);
  if (button == nullptr) return widget.contentsRect().size();
  QStyleOptionButton option;
  option.initFrom(button);
  if (button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
  return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).size();
}

int SelectedRow(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.front());
}

}  // namespace

DialogWindow::DialogWindow(SuggestionsDialog& dialog) : dialog_(dialog) {
  setObjectName(QStringLiteral("frmSpellCheck"));
}

DialogWindow::~DialogWindow() {
  dialog_.SetObserver(nullptr);
}

void DialogWindow::Run() {
  Build();
  dialog_.SetObserver(this);
  Refresh();
  setWindowModality(Qt::ApplicationModal);
  show();
  activateWindow();
  box_->setFocus();
  box_->selectAll();
  connect(&timer_, &QTimer::timeout, this, [this] { Forward([this] { dialog_.Tick(); }); });
  timer_.start(SuggestionsDialog::kTimerIntervalMs);

  // A loop that the application's exit ended returns at once when entered again.
  while (dialog_.IsShown() && !failure_) {
    if (loop_.exec() != 0) break;
  }
  timer_.stop();
  dialog_.SetObserver(nullptr);
  hide();
  if (failure_) std::rethrow_exception(failure_);
}

void DialogWindow::DialogChanged() {
  if (failure_) return;
  try {
    Refresh();
  } catch (...) {
    failure_ = std::current_exception();
  }
  // Whoever hid the dialog (a button, the frame, a host's code running meanwhile), the showing
  // is over.
  if (failure_ || !dialog_.IsShown()) loop_.quit();
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  // A focused push button takes Enter itself (it clicks that button, as in any dialog box);
  // from anywhere else Enter reaches the model's default button, also while it is disabled.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    return Forward([this] { dialog_.PressEnter(); });
  }
  QDialog::keyPressEvent(event);
}

// Esc, through QDialog's own key handling. Only the model hides the window, never QDialog.
void DialogWindow::reject() {
  Forward([this] { dialog_.PressEscape(); });
}

// The frame's close button: the model decides the answer, and the window goes only if the model
// let the dialog go.
void DialogWindow::closeEvent(QCloseEvent* event) {
  if (dialog_.IsShown() && !failure_) Forward([this] { dialog_.Close(); });
  if (dialog_.IsShown() && !failure_) {
    event->ignore();
  } else {
    event->accept();
  }
}

void DialogWindow::Build() {
  const int dpi_x = logicalDpiX();
  const int dpi_y = logicalDpiY();
  setFixedSize(Pixels(SuggestionsDialog::kClientWidth, dpi_x),
               Pixels(SuggestionsDialog::kClientHeight, dpi_y));

  // Created in tab order, which is the order in which Tab visits them.
  const auto& table = SuggestionsDialog::Controls();
  std::array<const DialogControl*, kControlCount> by_tab_order{};
  for (const DialogControl& control : table) {
    by_tab_order[static_cast<std::size_t>(control.tab_order)] = &control;
  }
  const DialogControl& change = SuggestionsDialog::ControlFor(DialogButton::Change);
  for (const DialogControl* control : by_tab_order) {
    QWidget* widget = nullptr;
    switch (control->kind) {
      case DialogControl::Kind::Label:
        widget = new QLabel(ToQString(control->caption), this);
        break;
      case DialogControl::Kind::TextBox:
        box_ = new QLineEdit(this);
        connect(box_, &QLineEdit::textEdited, this, [this](const QString& text) {
          if (refreshing_) return;
          Forward([this, &text] { dialog_.SetChangeToText(text.toStdU16String()); });
        });
        widget = box_;
        break;
      case DialogControl::Kind::ListBox:
        list_ = new QListWidget(this);
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list_->setSortingEnabled(false);
        // Keyboard and mouse; a click on the item already selected copies it into the box again.
        connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
          if (refreshing_) return;
          Forward([this] { dialog_.Select(SelectedRow(*list_)); });
        });
        connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
          Forward([this, item] { dialog_.Select(list_->row(item)); });
        });
        connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
          Forward([this, item] { dialog_.DoubleClick(list_->row(item)); });
        });
        widget = list_;
        break;
      case DialogControl::Kind::Button: {
        auto* button = new QPushButton(ToQString(control->caption), this);
        button->setDefault(control == &change);
        for (DialogButton which : kButtons) {
          if (&SuggestionsDialog::ControlFor(which) != control) continue;
          connect(button, &QPushButton::clicked, this,
                  [this, which] { Forward([this, which] { dialog_.Click(which); }); });
        }
        widget = button;
        break;
      }
    }
    widget->setObjectName(ToQString(control->name));
    widget->setGeometry(Pixels(control->left, dpi_x), Pixels(control->top, dpi_y),
                        Pixels(control->width, dpi_x), Pixels(control->height, dpi_y));
    controls_[IndexOf(*control)] = widget;
  }
  FitFont();
}

// The application's face at the layout's size if every caption fits its control there, or else
// at the largest size, in half points, at which they all do: the layout was drawn for the Windows
// window's narrow face, and "Suggestions:" in DejaVu Sans needs less than 8 points. Points scale
// with the DPI as the twips do, but the pixels of each round apart, so the answer may differ from
// one DPI to another.
void DialogWindow::FitFont() {
  QFont face = font();
  for (qreal points = kFontPoints;; points -= 0.5) {
    face.setPointSizeF(points);
    const QFontMetrics metrics(face, this);
    bool fits = true;
    for (const DialogControl& control : SuggestionsDialog::Controls()) {
      if (control.caption.empty()) continue;
      const QSize needed = metrics.size(Qt::TextShowMnemonic, ToQString(control.caption));
      const QSize room = CaptionRoom(*controls_[IndexOf(control)]);
      fits = fits && needed.width() <= room.width() && needed.height() <= room.height();
    }
    if (fits || points <= kSmallestFontPoints) break;
  }
  setFont(face);
}

// Brings every widget in line with the model, touching only what differs, so that a redraw
// neither flickers nor moves the cursor of the box while the user types.
void DialogWindow::Refresh() {
  if (box_ == nullptr) return;
  const QScopedValueRollback<bool> guard(refreshing_, true);

  const QString caption = ToQString(dialog_.Caption());
  if (windowTitle() != caption) setWindowTitle(caption);
  const QString text = ToQString(dialog_.ChangeToText());
  if (box_->text() != text) box_->setText(text);

  if (dialog_.Suggestions() != drawn_items_) {
    list_->clear();
    for (const std::u16string& item : dialog_.Suggestions()) list_->addItem(ToQString(item));
    drawn_items_ = dialog_.Suggestions();
  }
  const int selected = dialog_.SelectedIndex();
  if (SelectedRow(*list_) != selected) {
    if (selected < 0) {
      list_->clearSelection();
      list_->setCurrentItem(nullptr);
    } else {
      list_->setCurrentRow(selected);
    }
  }

  for (DialogButton button : kButtons) {
    QPushButton* widget = Button(button);
    const bool enabled = dialog_.IsEnabled(button);
    const bool visible = dialog_.IsVisible(button);
    if (widget->isEnabled() != enabled) widget->setEnabled(enabled);
    if (widget->isHidden() == visible) widget->setVisible(visible);
  }
}

void DialogWindow::Forward(const std::function<void()>& action) {
  if (failure_) return;
  try {
    action();
  } catch (...) {
    failure_ = std::current_exception();
    loop_.quit();
  }
}

QPushButton* DialogWindow::Button(DialogButton button) const {
  return static_cast<QPushButton*>(controls_[IndexOf(SuggestionsDialog::ControlFor(button))]);
}

}  // namespace lexivane::qt
