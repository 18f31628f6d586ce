// The view: the graph of the record on a white background, redrawn from
// scratch on every paint.
#pragma once

#include <QWidget>

namespace kelm {

struct SharedState;

class CKelmView final : public QWidget {
    Q_OBJECT
public:
    // Registers itself as the view RedrawViews repaints.
    explicit CKelmView(SharedState& state, QWidget* parent = nullptr);
    ~CKelmView() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SharedState& state_;
};

}  // namespace kelm
