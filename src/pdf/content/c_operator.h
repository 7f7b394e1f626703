// An operator of a content stream with the operands written before it.
#pragma once

#include <memory>
#include <string_view>

#include "pdf/content/c_sequence.h"
#include "pdf/content/op_code.h"

namespace ZavorPdf::Pdf::Content::Objects {

class COperator final : public CObject {
public:
    // The descriptor lives in the operator table for the whole program.
    explicit COperator(const Objects::OpCode &opCode) : opCode_(&opCode) {}
    COperator(const COperator &other) = default;

    const Objects::OpCode &OpCode() const { return *opCode_; }
    std::string_view Name() const { return opCode_->Name; }
    CSequence &Operands() { return operands_; }
    const CSequence &Operands() const { return operands_; }

    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COperator>(*this); }

private:
    const Objects::OpCode *opCode_;  // non-owning, static table entry
    CSequence operands_;
};

}  // namespace ZavorPdf::Pdf::Content::Objects
