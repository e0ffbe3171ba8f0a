#pragma once
// The divider between the text pane and the terminal: a strip above the terminal that the user
// drags up or down to share the work area's height between the two panes.
#include <QWidget>

#include <functional>

class Divider : public QWidget {
public:
    // While the strip is dragged, `moved` gets the height that the text pane above it would
    // have (in the parent's pixels); the owner lays the panes out again.
    Divider(QWidget *parent, std::function<void(int)> moved);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::function<void(int)> moved_;
    int hold_ = -1; // how far below the strip's top the mouse took hold; -1 while not dragged
};
