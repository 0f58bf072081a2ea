#include "LineRegex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace vor4 {

struct LineRegex::Code
{
    pcre2_code *code = nullptr;
    pcre2_match_data *data = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *stack = nullptr;

    ~Code()
    {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

bool LineRegex::compile(const QString &pattern, bool caseless, bool multiline)
{
    m_code.reset();
    auto c = std::make_shared<Code>();
    int error = 0;
    PCRE2_SIZE offset = 0;
    const uint32_t options = PCRE2_UTF | (caseless ? PCRE2_CASELESS : 0u) | (multiline ? PCRE2_MULTILINE : 0u);
    c->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()), options,
                            &error, &offset, nullptr);
    if (!c->code)
        return false;
    // As QRegularExpression: JIT where there is one, with a stack of its size.
    pcre2_jit_compile(c->code, PCRE2_JIT_COMPLETE);
    c->data = pcre2_match_data_create_from_pattern(c->code, nullptr);
    c->context = pcre2_match_context_create(nullptr);
    c->stack = pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr);
    if (!c->data || !c->context)
        return false;
    if (c->stack)
        pcre2_jit_stack_assign(c->context, nullptr, c->stack);
    m_code = std::move(c);
    return true;
}

LineRegex::Outcome LineRegex::match(QStringView subject, qsizetype offset, qsizetype *start, qsizetype *end) const
{
    if (!m_code)
        return NoMatch;
    const int rc = pcre2_match(m_code->code, reinterpret_cast<PCRE2_SPTR>(subject.utf16()), PCRE2_SIZE(subject.size()),
                               PCRE2_SIZE(offset), PCRE2_NO_UTF_CHECK, m_code->data, m_code->context);
    if (rc == PCRE2_ERROR_NOMATCH)
        return NoMatch;
    if (rc < 0)
        return TooComplex; // the match or depth limit, or the JIT stack
    const PCRE2_SIZE *bounds = pcre2_get_ovector_pointer(m_code->data);
    if (start)
        *start = qsizetype(bounds[0]);
    if (end)
        *end = qsizetype(bounds[1]);
    return Match;
}

} // namespace vor4
