// "About These Programs": eight fixed lines, closed with the window's close box.
#pragma once

#include <QDialog>

#include <array>

class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    std::array<QLabel*, 9> Label{}; // [1..8]
};
