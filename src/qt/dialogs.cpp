#include "qt/dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <functional>
#include <initializer_list>
#include <vector>

#include "qt/plot_thumbnails.h"

namespace verto::qt {

using namespace ui;

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string s(const QString& text) { return text.toStdString(); }

// A modal dialog with a title, a body layout and OK / Cancel (and Help).
class Modal : public QDialog {
 public:
  Modal(QWidget* parent, const char* title, bool help = false) : QDialog(parent) {
    setWindowTitle(title);
    setObjectName(title);
    auto* outer = new QVBoxLayout(this);
    body = new QVBoxLayout;
    outer->addLayout(body);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QDialogButtonBox::Ok);
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    ok->setObjectName("ok");
    cancel->setObjectName("cancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (help) {
      auto* h = buttons->addButton("Help", QDialogButtonBox::HelpRole);
      h->setObjectName("help");
      connect(h, &QPushButton::clicked, this, [this] { done(kHelp); });
    }
    outer->addWidget(buttons);
  }
  static constexpr int kHelp = 2;
  QVBoxLayout* body;
  // Asked on OK: false keeps the dialog open (and where it is).
  std::function<bool()> check;

  void accept() override {
    if (check && !check()) return;
    QDialog::accept();
  }
};

QLineEdit* edit(const char* name, const std::string& text, int max_length = 0) {
  auto* e = new QLineEdit(q(text));
  e->setObjectName(name);
  if (max_length > 0) e->setMaxLength(max_length);
  return e;
}

QLabel* note(std::string_view text) { return new QLabel(q(text)); }

QRadioButton* radio(const char* name, std::string_view text, bool checked = false) {
  auto* r = new QRadioButton(q(text));
  r->setObjectName(name);
  r->setChecked(checked);
  return r;
}

QCheckBox* check(const char* name, std::string_view text, bool checked) {
  auto* c = new QCheckBox(q(text));
  c->setObjectName(name);
  c->setChecked(checked);
  return c;
}

QGroupBox* group(std::string_view title, std::initializer_list<QWidget*> widgets) {
  auto* g = new QGroupBox(q(title));
  auto* l = new QVBoxLayout(g);
  for (QWidget* w : widgets) l->addWidget(w);
  return g;
}

// A row of widgets (labels given as texts) in a plain widget.
QWidget* row(std::initializer_list<QWidget*> widgets) {
  auto* w = new QWidget;
  auto* l = new QHBoxLayout(w);
  l->setContentsMargins(0, 0, 0, 0);
  for (QWidget* x : widgets) l->addWidget(x);
  return w;
}

// Radio buttons of one exclusive choice, by index.
struct Choice {
  std::vector<QRadioButton*> buttons;
  QButtonGroup* group = nullptr;
  Choice(QObject* owner, std::vector<QRadioButton*> b, int checked) : buttons(std::move(b)) {
    group = new QButtonGroup(owner);
    for (std::size_t i = 0; i < buttons.size(); ++i) group->addButton(buttons[i], static_cast<int>(i));
    buttons[static_cast<std::size_t>(checked)]->setChecked(true);
  }
  int index() const { return group->checkedId(); }
};

// A range pair: two boxes joined by "to".
struct RangeBoxes {
  QLineEdit* from;
  QLineEdit* to;
  QWidget* widget;
  RangeBoxes(const std::string& a, const std::string& b, const char* from_name = "from",
             const char* to_name = "to")
      : from(edit(from_name, a)), to(edit(to_name, b)), widget(row({from, note("to"), to})) {}
};

// ---- Fit Function ----

QueuedLines fit_dialog(QWidget* parent, DialogMemory& memory) {
  FitDialog d = open_fit_dialog(memory.fit_model);
  Modal dlg(parent, "Fit Function");
  QFont courier("Courier New");
  courier.setStyleHint(QFont::TypeWriter);
  dlg.setFont(courier);

  auto* model = new QComboBox;
  model->setObjectName("model");
  for (int m = 1; m <= kFitModelCount; ++m) model->addItem(q(fit_model_name(m)));
  model->setCurrentIndex(d.model - 1);
  QLabel* formula[3] = {note(""), note(""), note("")};
  for (int i = 0; i < 3; ++i) formula[i]->setObjectName(QString("formula%1").arg(i + 1));
  auto* param_label = note("");
  param_label->setObjectName("parameter_label");
  auto* param = edit("parameter", d.parameter);
  auto* fix = check("fix_fwhm", "Fix FWHM", d.fix_fwhm);
  auto* x1 = edit("x1", d.x1);
  auto* x2 = edit("x2", d.x2);
  Choice output(&dlg,
                {radio("subtract", "No line output, subtract fit from data"),
                 radio("no_line", "No line output"), radio("replace", "Replace any existing line"),
                 radio("add", "Add Line")},
                static_cast<int>(d.output));
  Choice limits(&dlg, {radio("rounded", "Rounded numbers"), radio("data_limits", "Data limits")},
                d.data_limits ? 1 : 0);
  RangeBoxes range(d.from, d.to);

  dlg.body->addWidget(model);
  for (auto* f : formula) dlg.body->addWidget(f);
  dlg.body->addWidget(row({param_label, param, fix}));
  dlg.body->addWidget(row({note("x1="), x1, note("x2="), x2}));
  auto* out_group = group("Line output", {});
  for (auto* b : output.buttons) out_group->layout()->addWidget(b);
  dlg.body->addWidget(out_group);
  dlg.body->addWidget(group("x limits:", {limits.buttons[0], limits.buttons[1]}));
  dlg.body->addWidget(group("Limit fit to points", {range.widget}));

  auto update = [&] {
    const int m = model->currentIndex() + 1;
    const auto lines = fit_formula(m);
    for (int i = 0; i < 3; ++i) formula[i]->setText(q(lines[static_cast<std::size_t>(i)]));
    const auto label = fit_parameter_label(m, fix->isChecked());
    param_label->setText(q(label));
    param->setEnabled(!label.empty());
    fix->setEnabled(fit_is_peak_model(m));
    x1->setEnabled(fit_has_peak_positions(m));
    x2->setEnabled(fit_has_peak_positions(m));
    limits.buttons[1]->setEnabled(fit_data_limits_enabled(static_cast<LineOutput>(output.index())));
  };
  QObject::connect(model, &QComboBox::currentIndexChanged, &dlg, update);
  QObject::connect(fix, &QCheckBox::toggled, &dlg, update);
  QObject::connect(output.group, &QButtonGroup::idToggled, &dlg, update);
  update();

  if (dlg.exec() != QDialog::Accepted) return nothing();
  d.model = model->currentIndex() + 1;
  d.parameter = s(param->text());
  d.fix_fwhm = fix->isEnabled() && fix->isChecked();
  d.x1 = s(x1->text());
  d.x2 = s(x2->text());
  d.output = static_cast<LineOutput>(output.index());
  d.data_limits = limits.index() == 1 && limits.buttons[1]->isEnabled();
  d.from = s(range.from->text());
  d.to = s(range.to->text());
  memory.fit_model = d.model;
  return fit_lines(d);
}

// ---- Math ----

QueuedLines math_dialog(QWidget* parent, DialogMemory& memory) {
  MathDialog d = open_math_dialog(memory.math);
  Modal dlg(parent, "Math", true);
  auto* function = new QComboBox;
  function->setObjectName("function");
  function->setEditable(true);
  function->setInsertPolicy(QComboBox::NoInsert);
  for (const auto& h : d.history) function->addItem(q(h));
  function->setEditText(q(d.function));
  function->lineEdit()->setMaxLength(kMathFunctionLength);
  Choice data(&dlg,
              {radio("xys", "XYS data"), radio("line", "XY line data"), radio("columns", "Column data")},
              static_cast<int>(d.data));
  RangeBoxes range(d.from, d.to);
  auto* relative = check("relative", "Use relative index for I", d.relative);

  dlg.body->addWidget(row({note("Function:"), function}));
  auto* vars = new QGridLayout;
  vars->addWidget(note("Variables: "), 0, 0);
  vars->addWidget(note("X,Y,S (or Z) "), 0, 1);
  vars->addWidget(note("C1,C2...C9 :column data"), 1, 1);
  vars->addWidget(note("I,N : index, Npts"), 2, 1);
  vars->addWidget(note("Constants: e, pi"), 3, 0, 1, 2);
  dlg.body->addLayout(vars);
  for (auto text : {"Examples:", "     Y=Sin(2*pi*X)", "     S=Sqrt(X^2+Y^2)", "     Y=5*Ran-2.5"})
    dlg.body->addWidget(note(text));
  dlg.body->addWidget(group("Use:", {data.buttons[0], data.buttons[1], data.buttons[2]}));
  dlg.body->addWidget(group("Limit to points", {range.widget}));
  dlg.body->addWidget(relative);

  const int result = dlg.exec();
  if (result == Modal::kHelp) return math_help_lines();
  if (result != QDialog::Accepted) return blank_line(false);
  d.function = s(function->currentText());
  d.data = static_cast<MathData>(data.index());
  d.from = s(range.from->text());
  d.to = s(range.to->text());
  d.relative = relative->isChecked();
  return accept_math_dialog(memory.math, d);
}

// ---- Normalize ----

QueuedLines normalize_dialog(QWidget* parent) {
  NormalizeDialog d;
  Modal dlg(parent, "Normalize");
  Choice var(&dlg, {radio("x", "X (and S)"), radio("y", "Y (and S)"), radio("s", "S")}, d.variable - 1);
  Choice point(&dlg, {radio("peak", "Peak Value"), radio("specific", "Specific point")}, 0);
  auto* i_box = edit("point", d.point);
  auto* value = edit("value", d.value);
  Choice set(&dlg, {radio("xys", "XYS data set"), radio("line", "XY line data")}, 0);
  RangeBoxes range(d.from, d.to);
  dlg.body->addWidget(group("Variable to Normalize", {var.buttons[0], var.buttons[1], var.buttons[2]}));
  dlg.body->addWidget(group("Point to normalize",
                            {point.buttons[0], row({point.buttons[1], note("I="), i_box})}));
  dlg.body->addWidget(row({note("Set to value of:"), value}));
  dlg.body->addWidget(group("Data Set", {set.buttons[0], set.buttons[1]}));
  dlg.body->addWidget(group("Limit norm. to points", {range.widget}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(true);
  d.variable = var.index() + 1;
  d.specific_point = point.index() == 1;
  d.point = s(i_box->text());
  d.value = s(value->text());
  d.line_data = set.index() == 1;
  d.from = s(range.from->text());
  d.to = s(range.to->text());
  return normalize_lines(d);
}

// ---- Average Data ----

QueuedLines average_dialog(QWidget* parent, const WorkspaceView& ws) {
  AverageDialog d;
  Modal dlg(parent, "Average Data");
  Choice bars(&dlg, {radio("mean", "uncertanity in the mean "), radio("sd", "standard deviation")}, 0);
  auto* mean_note = note("(std. dev. / Sqrt(N))");
  auto* weighted_note = note("weighted error bars");
  auto* delta = edit("delta_x", d.delta_x, 10);
  auto* discard = check("discard", "Discard bad data points", d.discard);
  auto* dbox = edit("d", d.d);
  dlg.body->addWidget(group("Error bars:", {row({bars.buttons[0], mean_note}), bars.buttons[1], weighted_note}));
  dlg.body->addWidget(group(
      "X interval",
      {row({note("delta x ="), delta}),
       note("Average Y values with the same X value (or values within delta X).")}));
  dlg.body->addWidget(group(
      "Discard",
      {discard, row({note("d = "), dbox}),
       note("Throw away data points that lie more than d standard deviations from the median.")}));
  const bool bars_on = average_error_bars_enabled(ws.form);
  for (QWidget* w : {static_cast<QWidget*>(bars.buttons[0]), static_cast<QWidget*>(bars.buttons[1]),
                     static_cast<QWidget*>(mean_note), static_cast<QWidget*>(weighted_note)})
    w->setEnabled(bars_on);
  if (dlg.exec() != QDialog::Accepted) return blank_line(true);
  d.standard_deviation = bars_on && bars.index() == 1;
  d.delta_x = s(delta->text());
  d.discard = discard->isChecked();
  d.d = s(dbox->text());
  return average_lines(d);
}

// ---- Smooth, Sum ----

QueuedLines smooth_dialog(QWidget* parent) {
  SmoothDialog d;
  Modal dlg(parent, "Smooth");
  auto* window = edit("window", d.window);
  Choice fn(&dlg, {radio("gaussian", "Gaussian (FWHM = window)"), radio("median", "Rolling median")}, 0);
  dlg.body->addWidget(note("Smooths data without changing the number of data points, but the points are sorted."));
  dlg.body->addWidget(row({note("window:"), window}));
  dlg.body->addWidget(group("Smoothing function", {fn.buttons[0], fn.buttons[1]}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(true);
  d.window = s(window->text());
  d.median = fn.index() == 1;
  return smooth_lines(d);
}

QueuedLines sum_dialog(QWidget* parent) {
  Modal dlg(parent, "Sum Y Values");
  auto* delta = edit("delta_x", "", 10);
  dlg.body->addWidget(note("Sum Y values for values with the same X value (or values within delta X)."));
  dlg.body->addWidget(row({note("delta x = "), delta}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(true);
  return sum_lines(s(delta->text()));
}

// ---- Sort, Swap ----

QueuedLines sort_dialog(QWidget* parent, const WorkspaceView& ws) {
  SortDialog d = open_sort_dialog(ws);
  Modal dlg(parent, "Sort");
  Choice var(&dlg, {radio("x", "X"), radio("y", "Y"), radio("s", "S")}, d.variable - 1);
  Choice order(&dlg, {radio("ascending", "Ascending"), radio("descending", "Descending")}, 0);
  dlg.body->addWidget(group("by Variable", {var.buttons[0], var.buttons[1], var.buttons[2]}));
  dlg.body->addWidget(group("Order", {order.buttons[0], order.buttons[1]}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(true);
  d.variable = var.index() + 1;
  d.descending = order.index() == 1;
  return sort_lines(d, ws.form);
}

QueuedLines swap_dialog(QWidget* parent, const WorkspaceView& ws) {
  SwapDialog d = open_swap_dialog(ws);
  Modal dlg(parent, "Swap Columns");
  auto* first = edit("first", d.first);
  auto* second = edit("second", d.second);
  Choice set(&dlg, {radio("xys", "XYS data"), radio("line", "XY line data")}, 0);
  for (auto text : {"Interchange two columns of ", " data. Choices include: ", " X, Y, S (or Z), C1-C9"})
    dlg.body->addWidget(note(text));
  dlg.body->addWidget(row({first, note("and"), second}));
  dlg.body->addWidget(group("Use:", {set.buttons[0], set.buttons[1]}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(false);
  d.first = s(first->text());
  d.second = s(second->text());
  d.line_data = set.index() == 1;
  return swap_lines(d);
}

// ---- Format ----

QueuedLines format_dialog(QWidget* parent, const WorkspaceView& ws) {
  FormatDialog d = open_format_dialog(ws);
  Modal dlg(parent, "Format");
  static constexpr const char* kForms[] = {
      "0: user defined  (input only)", "1: (X) single variable",
      "2: (X,S) single variable with error bar", "3: (X,Y) pair",
      "4: (X,Y,S) x,y pair with y error bar", "5: auto format (input only)",
      "6: multi-column  (input only)", "7: (X,Y,Z) 3D data"};
  std::vector<QRadioButton*> forms;
  for (int f = 0; f < 8; ++f) forms.push_back(radio(qPrintable(QString("form%1").arg(f)), kForms[f]));
  Choice form(&dlg, forms, d.form);
  auto* columns = edit("columns", d.columns, 5);
  Choice var(&dlg, {radio("x", "X"), radio("y", "Y"), radio("s", "S (or Z)")}, d.variable - 1);
  auto* fg = group("&Format", {});
  for (auto* b : forms) fg->layout()->addWidget(b);
  fg->layout()->addWidget(row({note("columns="), columns}));
  dlg.body->addWidget(fg);
  dlg.body->addWidget(group("&Variable", {var.buttons[0], var.buttons[1], var.buttons[2],
                                          note("Default variable used for many operations such as Sort, Stat...")}));
  if (dlg.exec() != QDialog::Accepted) return nothing();
  d.form = form.index();
  d.variable = var.index() + 1;
  d.columns = s(columns->text());
  return format_lines(d, ws.Num_columns);
}

// ---- Help Topics ----

QueuedLines help_topics_dialog(QWidget* parent) {
  Modal dlg(parent, "Help Topics");
  auto* icon = new QLabel;
  icon->setPixmap(dlg.style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  dlg.body->addWidget(icon);
  dlg.body->addWidget(group("Keyboard Shortcuts",
                            {note("ESC  delete current command"), note("TAB   switch to plot window"),
                             note("ctrt-Z previous command"), note("ctrt-X previous command")}));
  auto* list = new QListWidget;
  list->setObjectName("topics");
  for (auto t : kHelpTopics) list->addItem(q(t));
  list->setCurrentRow(0);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
  dlg.body->addWidget(group("Verto! Commands", {note("Choose from the following:"), list}));
  if (dlg.exec() != QDialog::Accepted || !list->currentItem()) return nothing();
  return help_topic_lines(s(list->currentItem()->text()));
}

// ---- Plot with options ----

QueuedLines plot_options_dialog(QWidget* parent, DialogMemory& memory) {
  PlotOptionsDialog& d = memory.plot;
  Modal dlg(parent, "Plot with options");
  Choice xs(&dlg, {radio("x_linear", "linear scale"), radio("x_log", "log scale")}, d.x_log ? 1 : 0);
  Choice ys(&dlg, {radio("y_linear", "linear scale"), radio("y_log", "log scale")}, d.y_log ? 1 : 0);
  Choice limits(&dlg, {radio("nice", "Nice round numbers"), radio("data", "Min/Max of data")},
                d.data_limits ? 1 : 0);
  RangeBoxes range(d.from, d.to);
  auto* colour = new QComboBox;
  colour->setObjectName("colour");
  for (auto c : kColourCodingNames) colour->addItem(q(c));
  colour->setCurrentIndex(d.colour_coding);
  auto* drop = check("droplines", "Add Droplines", d.droplines);
  auto* contour = check("contour", "Contour Plot", d.contour);
  std::vector<QRadioButton*> legend_buttons, orientation_buttons;
  // Each choice shows a small picture that the plot code draws of it.
  const QSize thumbnail(96, 58);
  for (int i = 0; i < kLegendPositions; ++i) {
    legend_buttons.push_back(radio(qPrintable(QString("legend%1").arg(i)), kLegendPositionNames[static_cast<std::size_t>(i)]));
    if (i > 0) {
      legend_buttons.back()->setIcon(::verto::qt::legend_thumbnail(i, thumbnail));
      legend_buttons.back()->setIconSize(thumbnail);
    }
  }
  for (int i = 0; i < kOrientations; ++i) {
    orientation_buttons.push_back(radio(qPrintable(QString("theta%1").arg(i)), kOrientationNames[static_cast<std::size_t>(i)]));
    orientation_buttons.back()->setIcon(
        ::verto::qt::orientation_thumbnail(kOrientationOptions[static_cast<std::size_t>(i)], thumbnail));
    orientation_buttons.back()->setIconSize(thumbnail);
  }
  Choice legend(&dlg, legend_buttons, d.legend);
  Choice orientation(&dlg, orientation_buttons, d.orientation);

  auto* axes = new QHBoxLayout;
  axes->addWidget(group("X axis", {xs.buttons[0], xs.buttons[1]}));
  axes->addWidget(group("Y axis", {ys.buttons[0], ys.buttons[1]}));
  dlg.body->addLayout(axes);
  dlg.body->addWidget(group("Limits of plot", {limits.buttons[0], limits.buttons[1]}));
  dlg.body->addWidget(group("Limit plot to points", {range.widget}));
  dlg.body->addWidget(group("Color Coding", {colour}));
  dlg.body->addWidget(group("Other Options", {drop, contour}));
  auto* lg = group("Legend", {note("     No Legend")});
  auto* lrow = new QWidget;
  auto* ll = new QHBoxLayout(lrow);
  for (auto* b : legend_buttons) ll->addWidget(b);
  lg->layout()->addWidget(lrow);
  dlg.body->addWidget(lg);
  auto* og = group("3D Axis Orientation", {});
  auto* orow = new QWidget;
  auto* ol = new QHBoxLayout(orow);
  for (auto* b : orientation_buttons) ol->addWidget(b);
  og->layout()->addWidget(orow);
  dlg.body->addWidget(og);

  if (dlg.exec() != QDialog::Accepted) return blank_line(false);
  d.x_log = xs.index() == 1;
  d.y_log = ys.index() == 1;
  d.data_limits = limits.index() == 1;
  d.from = s(range.from->text());
  d.to = s(range.to->text());
  d.colour_coding = colour->currentIndex();
  d.droplines = drop->isChecked();
  d.contour = contour->isChecked();
  d.legend = legend.index();
  d.orientation = orientation.index();
  return plot_options_lines(d);
}

// Runs `dlg` until OK gives lines or the user cancels; a number field that
// holds no number is reported over the dialog, which stays open where it is.
template <typename Build>
QueuedLines run_until_valid(Modal& dlg, Build build) {
  QueuedLines result = nothing();
  dlg.check = [&] {
    BuiltLines b = build();
    if (b.error.empty()) {
      result = b.queued;
      return true;
    }
    QMessageBox box(QMessageBox::Warning, dlg.windowTitle(), q(b.error), QMessageBox::Ok, &dlg);
    box.setObjectName("bad number");
    // Wide enough for its title to show whole.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
      const int title = box.fontMetrics().horizontalAdvance(dlg.windowTitle()) + 160;
      grid->addItem(new QSpacerItem(title, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                    grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
    return false;
  };
  if (dlg.exec() != QDialog::Accepted) return nothing();
  return result;
}

// ---- Create line using function ----

QueuedLines create_line_dialog(QWidget* parent, DialogMemory& memory, const WorkspaceView& ws) {
  CreateLineDialog& d = memory.create_line;
  Modal dlg(parent, "Create line using function");
  auto* xmin = edit("xmin", d.xmin, kNumberFieldLength);
  auto* xmax = edit("xmax", d.xmax, kNumberFieldLength);
  auto* steps = edit("steps", d.steps, kNumberFieldLength);
  auto* function = edit("function", d.function, kFunctionFieldLength);
  dlg.body->addWidget(group("X values", {note("range:"), row({note("Xmin:"), xmin, note("Xmax:"), xmax}),
                                         row({note("in"), steps, note("steps")})}));
  dlg.body->addWidget(group("Y values", {row({note("Y = "), function}),
                                         note("some function of X. For example, (1+2*SIN(X/pi))")}));
  return run_until_valid(dlg, [&] {
    d.xmin = s(xmin->text());
    d.xmax = s(xmax->text());
    d.steps = s(steps->text());
    d.function = s(function->text());
    return create_line_lines(d, ws.Nline);
  });
}

// ---- Create Data ----

QueuedLines create_data_dialog(QWidget* parent, DialogMemory& memory, const WorkspaceView& ws) {
  CreateDataDialog d = open_create_data_dialog(memory.create_data, ws.form);
  Modal dlg(parent, "Create Data");
  auto* n = edit("n", d.n, kNumberFieldLength);
  auto* xmin = edit("xmin", d.xmin, kNumberFieldLength);
  auto* xmax = edit("xmax", d.xmax, kNumberFieldLength);
  Choice xkind(&dlg, {radio("spaced", "Equally spaced from"), radio("user", "User function")}, 0);
  auto* xfn = edit("x_function", d.x_function, kFunctionFieldLength);
  auto* relative = check("relative", "Relative indexing", true);
  auto* yfn = edit("y_function", d.y_function, kFunctionFieldLength);
  auto* sfn = edit("s_function", d.s_function, kFunctionFieldLength);
  auto* s_label = note(create_data_s_label(d.format));
  s_label->setObjectName("s_label");
  static constexpr int kFormats[] = {1, 2, 3, 4, 7};
  static constexpr const char* kFormatNames[] = {"1: X", "2: X,S", "3: X,Y", "4: X,Y,S", "7: X,Y,Z"};
  std::vector<QRadioButton*> fbuttons;
  int checked = 2;
  for (int i = 0; i < 5; ++i) {
    fbuttons.push_back(radio(qPrintable(QString("format%1").arg(kFormats[i])), kFormatNames[i]));
    if (kFormats[i] == d.format) checked = i;
  }
  Choice format(&dlg, fbuttons, checked);
  QObject::connect(format.group, &QButtonGroup::idToggled, &dlg, [&](int, bool) {
    s_label->setText(q(create_data_s_label(kFormats[format.index()])));
  });

  dlg.body->addWidget(group("Number of points to add", {row({note("N="), n})}));
  dlg.body->addWidget(group("X values", {row({xkind.buttons[0], note("Xmin:"), xmin, note("to    Xmax:"), xmax}),
                                         row({xkind.buttons[1], note("X="), xfn}),
                                         note("Should be a function of the index I."), relative}));
  dlg.body->addWidget(group("Y Values", {row({note("Y="), yfn})}));
  dlg.body->addWidget(group("S Values", {row({s_label, sfn})}));
  auto* fg = group("Format:", {});
  for (auto* b : fbuttons) fg->layout()->addWidget(b);
  dlg.body->addWidget(fg);
  dlg.body->addWidget(note("The X values are created first, then the Y values, and finally the S values."));

  return run_until_valid(dlg, [&] {
    d.format = kFormats[format.index()];
    d.n = s(n->text());
    d.xmin = s(xmin->text());
    d.xmax = s(xmax->text());
    d.equally_spaced = xkind.index() == 0;
    d.x_function = s(xfn->text());
    d.relative = relative->isChecked();
    d.y_function = s(yfn->text());
    d.s_function = s(sfn->text());
    remember_create_data(memory.create_data, d);
    return create_data_lines(d, ws.Npts);
  });
}

// ---- Transfer data ----

QueuedLines transfer_dialog(QWidget* parent, const WorkspaceView& ws) {
  TransferDialog d;
  Modal dlg(parent, "Transfer data");
  Choice choice(&dlg,
                {radio("line_to_points", "XY line data --> XYS data"),
                 radio("points_to_line", "XYS data --> XY line"),
                 radio("columns", "Column dataset --> XYS dataset"),
                 radio("column_range", "Range of Column dataset --> XYS dataset")},
                0);
  auto* retain = check("retain", "Retain XYS data", false);
  auto column_combo = [](const char* name, int preset) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItem("");
    for (int i = 1; i <= 9; ++i) c->addItem(QString("C%1").arg(i));
    c->setCurrentIndex(preset);
    return c;
  };
  auto* xc = column_combo("x_column", d.x_column);
  auto* yc = column_combo("y_column", d.y_column);
  auto* sc = column_combo("s_column", d.s_column);
  yc->setEnabled(transfer_y_enabled(ws.form));
  sc->setEnabled(transfer_s_enabled(ws.form));
  RangeBoxes rows(d.row_from, d.row_to, "row_from", "row_to");
  RangeBoxes c1(d.c1_from, d.c1_to, "c1_from", "c1_to");
  auto* clear = check("clear_old", "Clear old data", false);
  dlg.body->addWidget(group("Convert Line to Points", {choice.buttons[0]}));
  dlg.body->addWidget(group("Convert Points to Line", {choice.buttons[1], retain}));
  dlg.body->addWidget(group("Transfer from column data",
                            {choice.buttons[2], row({note("X = "), xc, note("Y= "), yc, note("S = "), sc}),
                             row({note("Rows:"), rows.widget})}));
  dlg.body->addWidget(group("Import range of column data",
                            {choice.buttons[3], row({note("C1 in range:"), c1.widget}), clear}));
  if (dlg.exec() != QDialog::Accepted) return blank_line(false);
  d.choice = static_cast<Transfer>(choice.index());
  d.retain_points = retain->isChecked();
  d.x_column = xc->currentIndex();
  d.y_column = yc->currentIndex();
  d.s_column = sc->currentIndex();
  d.row_from = s(rows.from->text());
  d.row_to = s(rows.to->text());
  d.c1_from = s(c1.from->text());
  d.c1_to = s(c1.to->text());
  d.clear_old = clear->isChecked();
  return transfer_lines(d, ws.form);
}

}  // namespace

QueuedLines run_dialog(Dialog which, QWidget* parent, DialogMemory& memory, const WorkspaceView& ws) {
  switch (which) {
    case Dialog::Format: return format_dialog(parent, ws);
    case Dialog::Transfer: return transfer_dialog(parent, ws);
    case Dialog::SwapColumns: return swap_dialog(parent, ws);
    case Dialog::CreateData: return create_data_dialog(parent, memory, ws);
    case Dialog::FitFunction: return fit_dialog(parent, memory);
    case Dialog::Math: return math_dialog(parent, memory);
    case Dialog::Normalize: return normalize_dialog(parent);
    case Dialog::Average: return average_dialog(parent, ws);
    case Dialog::Smooth: return smooth_dialog(parent);
    case Dialog::Sum: return sum_dialog(parent);
    case Dialog::Sort: return sort_dialog(parent, ws);
    case Dialog::PlotOptions: return plot_options_dialog(parent, memory);
    case Dialog::CreateLine: return create_line_dialog(parent, memory, ws);
    case Dialog::HelpTopics: return help_topics_dialog(parent);
    case Dialog::None: break;
  }
  return nothing();
}

void run_file_dialog(QWidget* parent, FileSelection& sel, int mode) {
  sel.mode = mode;
  QFileDialog dlg(parent, "File", QDir::currentPath());
  dlg.setObjectName("File");
  // The name filters match either case: "*.DAT" also lists run1.dat.
  dlg.setNameFilters({"*.* (*)", "*.DAT (*.DAT *.dat *.Dat)", "*.TXT (*.TXT *.txt *.Txt)"});
  dlg.setOption(QFileDialog::DontUseNativeDialog, true);
  if (mode == FileSelection::kWrite) {
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);  // WRITE asks itself
  } else {
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
  }
  const bool ok = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
  close_file_dialog(sel, ok, ok ? dlg.selectedFiles().front().toStdString() : std::string());
}

}  // namespace verto::qt
