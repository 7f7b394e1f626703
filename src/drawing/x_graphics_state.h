// Handles that XGraphics gives out for saved states and containers. A
// handle only names its level; restoring it closes that level and every
// level opened after it.
#pragma once

namespace ZavorPdf::Drawing {

class XGraphicsState {
public:
    int Id() const { return id_; }

private:
    friend class XGraphics;
    explicit XGraphicsState(int id) : id_(id) {}
    int id_;
};

class XGraphicsContainer {
public:
    int Id() const { return id_; }

private:
    friend class XGraphics;
    explicit XGraphicsContainer(int id) : id_(id) {}
    int id_;
};

}  // namespace ZavorPdf::Drawing
