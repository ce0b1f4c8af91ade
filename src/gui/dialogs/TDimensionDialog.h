// What the frame and the cylinder dimensions dialogs share: 22 borderless
// number fields with a small button before each, a reset button, a Close
// button, labels and help lines painted on the dialog, the key filter and the
// commit of a field whenever it is left.
#pragma once

#include "model/AppState.h"
#include "model/DesignEdit.h"

#include <QDialog>

#include <array>
#include <optional>
#include <string>
#include <vector>

// clang-format off
// The numbered handlers of fields 1..22: EditkKeyPress, EditkExit, ButtonkClick.
#define QUELF_FOR_EACH_FIELD(X)                                                                           \
    X(1) X(2) X(3) X(4) X(5) X(6) X(7) X(8) X(9) X(10) X(11) X(12) X(13) X(14) X(15) X(16) X(17) X(18) X(19) \
        X(20) X(21) X(22)
#define QUELF_FIELD_HANDLERS(k)                                                                          \
    void Edit##k##KeyPress(char& key) { FieldKeyPress(k, key); }                                         \
    void Edit##k##Exit() { FieldExit(k); }                                                               \
    void Button##k##Click() { SmallButtonClick(k); }
// Dispatch of field k to its numbered handlers (inside a class body).
#define QUELF_FIELD_KEY_CASE(k)                                                                           \
    case k: Edit##k##KeyPress(key); break;
#define QUELF_FIELD_EXIT_CASE(k)                                                                          \
    case k: Edit##k##Exit(); break;
#define QUELF_FIELD_CLICK_CASE(k)                                                                         \
    case k: Button##k##Click(); break;
#define QUELF_FIELD_DISPATCH                                                                              \
    void DispatchKeyPress(int k, char& key) override                                                      \
    {                                                                                                     \
        switch (k) { QUELF_FOR_EACH_FIELD(QUELF_FIELD_KEY_CASE) default: break; }                         \
    }                                                                                                     \
    void DispatchExit(int k) override                                                                     \
    {                                                                                                     \
        switch (k) { QUELF_FOR_EACH_FIELD(QUELF_FIELD_EXIT_CASE) default: break; }                        \
    }                                                                                                     \
    void DispatchButtonClick(int k) override                                                              \
    {                                                                                                     \
        switch (k) { QUELF_FOR_EACH_FIELD(QUELF_FIELD_CLICK_CASE) default: break; }                       \
    }
// clang-format on

class QLabel;
class QLineEdit;
class QPushButton;
class DesignSession;

class TDimensionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFields = 22;
    // The two columns: small buttons, painted labels, number fields. The
    // fields stand clear of the longest label in the dialog font.
    static constexpr int kLeftLabelX = 10, kLeftFieldX = 152;
    static constexpr int kRightButtonX = 202, kRightLabelX = 212, kRightFieldX = 352;
    static constexpr int kWidth = 396;

    // Controls, index 1..22 (0 unused).
    std::array<QLineEdit*, kFields + 1> Edit{};
    std::array<QPushButton*, kFields + 1> Button{};
    QPushButton* Close1 = nullptr;

    // The variable code of field k.
    virtual int FieldCode(int k) const = 0;

    // Write every field from the model (the activation's refill), and the
    // explanation below.
    void FillFields();

    // Under the fields while the design cannot be assembled at its reverse
    // arm setting: what keeps it from it (ExplainAssembly, on a copy), in
    // red; the dialog grows by its height while it shows. Refreshed at the
    // activation, each commit and each reset.
    QLabel* AssemblyText = nullptr;
    void ShowAssemblyText();

    // Closing by the window's close button forgets the opening values.
    void reject() override;

    // Labels and help lines at the current font scale (top-left anchors).
    struct PaintedText {
        int x, y;
        std::string text;
    };
    virtual std::vector<PaintedText> PaintedTexts() const = 0;

protected:
    TDimensionDialog(AppState& state, DesignSession* designSession, QWidget* parent);

    // Builds the fields and buttons of field k at the given places.
    void PlaceField(int k, int editX, int editY, int buttonX, int buttonY, bool grey);
    QPushButton* MakeButton(const char* name, const QString& caption, int x, int y, int w, int h);

    // Shared handlers (the numbered handlers of each dialog call these).
    void FieldKeyPress(int k, char& key);
    void FieldExit(int k);
    void SmallButtonClick(int k);
    void CloseDialog(); // Close1Click of both dialogs
    // Hook after a field's commit (frame field 22 sets the bar range).
    virtual void AfterCommit(int k) {}
    // Dispatch to the numbered handlers.
    virtual void DispatchKeyPress(int k, char& key) = 0;
    virtual void DispatchExit(int k) = 0;
    virtual void DispatchButtonClick(int k) = 0;
    // Mouse-down on a widget (the reset buttons).
    virtual void WidgetMouseDown(QObject* widget) {}

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    virtual void FormActivate();

    AppState& s;
    DesignSession* session;

private:
    int FieldIndexOf(QObject* watched) const;

    // The dimensions and the newest undo record when the user opened the
    // dialog. The close-up's round trip closes and reopens the dialog; it
    // keeps them.
    std::optional<DimensionDialogOpening> opened_;
    int baseHeight_ = 0; // the dialog's height without the explanation
};
