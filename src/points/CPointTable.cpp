#include "points/CPointTable.h"

#include "base/TextNumber.h"

namespace kvl::points {

namespace {

constexpr int kReadFieldCount = 16; // number, mode, position ... jump
constexpr const char *kReadListEnd = ";";

std::vector<std::string> SplitKeepingEmpty(const std::string &line, char separator)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

} // namespace

CPointTable::CPointTable(const CStepRules &rules) : m_rules(rules) { Reset(true); }

void CPointTable::Reset(bool keepDriver)
{
    const int count = m_rules.StepCount();
    m_working.assign(count, CKVL_VER2_ProgData());
    if (!keepDriver)
        m_driver.assign(count, CKVL_VER2_ProgData());
    m_cells.assign(count, CellRow());
    m_marks.assign(count, {});
    for (int step = 0; step < count; ++step)
        m_cells[step][kColStep] = FormatInt(step);
    KeepEdits(true);
}

void CPointTable::KeepEdits(bool comments)
{
    m_keptValues = m_working;
    if (!comments)
        return;
    m_keptComments.clear();
    for (const CellRow &row : m_cells)
        m_keptComments.push_back(row[kColComment]);
}

bool CPointTable::HasUnkeptEdits() const
{
    if (m_keptValues.size() != m_working.size() || m_keptComments.size() != m_cells.size())
        return true;
    for (size_t step = 0; step < m_working.size(); ++step) {
        if (!m_working[step].Equals(m_keptValues[step], true) || m_cells[step][kColComment] != m_keptComments[step])
            return true;
    }
    return false;
}

const CKVL_VER2_ProgData &CPointTable::Driver(int step) const
{
    static const CKVL_VER2_ProgData kNoStep;
    if (step < 0 || step >= static_cast<int>(m_driver.size()))
        return kNoStep;
    return m_driver[step];
}

void CPointTable::EnsureDriverSized()
{
    if (m_driver.empty())
        m_driver.assign(m_working.size(), CKVL_VER2_ProgData());
}

void CPointTable::SetDriver(int step, const CKVL_VER2_ProgData &record)
{
    if (step >= 0 && step < static_cast<int>(m_driver.size()))
        m_driver[step] = record;
}

void CPointTable::SetDriverEmpty(int step)
{
    if (step >= 0 && step < static_cast<int>(m_driver.size()))
        m_driver[step].SetEmpty(true);
}

CommitResult CPointTable::CommitCell(int step, int k, const std::string &text)
{
    if (!IsStep(step) || k <= kColStep || k >= kStepColumnCount)
        return {};
    CommitResult result = m_rules.Commit(k, text, m_working[step]);
    m_cells[step][k] = result.text;
    m_marks[step][k] = Differs(step, k);
    return result;
}

bool CPointTable::CreateRow(int step)
{
    if (!IsStep(step) || !m_working[step].IsEmpty())
        return false;
    CellRow texts;
    texts[kColStep] = FormatInt(step);
    for (int k = kColMode; k < kStepColumnCount; ++k)
        texts[k] = m_rules.ColumnDefault(k, DefaultUse::NewRow);
    CKVL_VER2_ProgData &record = m_working[step];
    record.SetFactory(step);
    record.SetRow(texts, m_rules.Texts());
    m_cells[step] = texts;
    for (int k = kColMode; k <= kColJump; ++k)
        m_marks[step][k] = Differs(step, k);
    return true;
}

void CPointTable::RefreshRow(int step, int lastColumn)
{
    if (!IsStep(step))
        return;
    for (int k = kColStep; k <= lastColumn && k < kStepColumnCount; ++k)
        m_cells[step][k] = m_rules.ViewText(k, m_working[step].FieldText(k));
}

void CPointTable::RebuildRecordFromCells(int step, bool empty)
{
    if (!IsStep(step))
        return;
    CellRow texts;
    for (int k = 0; k < kStepColumnCount; ++k)
        texts[k] = m_rules.CellToFieldText(k, m_cells[step][k]);
    m_working[step].SetRow(texts, m_rules.Texts());
    m_working[step].SetEmpty(empty);
}

bool CPointTable::Differs(int step, int k) const
{
    if (k <= kColStep || k >= kStepColumnCount || k == kColComment)
        return false;
    if (!m_rules.Context().online)
        return true;
    if (!DriverHoldsSteps() || Driver(step).IsEmpty())
        return true;
    return m_rules.ValuesDiffer(Working(step), Driver(step), k);
}

bool CPointTable::DiffersAfterLoad(int step, int k) const
{
    if (k <= kColStep || k >= kStepColumnCount)
        return false;
    if (!m_rules.Context().online)
        return k != kColComment;
    if (DriverHoldsSteps() && Driver(step).IsEmpty())
        return true;
    if (k == kColComment)
        return false;
    return !DriverHoldsSteps() || m_rules.ValuesDiffer(Working(step), Driver(step), k);
}

int CPointTable::ImportReadLines(const std::string &text)
{
    return ImportReadLines(SplitKeepingEmpty(text, '\n'));
}

int CPointTable::ImportReadLines(const std::vector<std::string> &lines)
{
    // The grid keeps showing the comments typed before the read; the records' comments are empty.
    std::vector<std::string> comments;
    for (const CellRow &row : m_cells)
        comments.push_back(row[kColComment]);
    const std::vector<std::string> keptComments = m_keptComments;
    Reset(false);
    m_keptComments = keptComments;
    for (int step = 0; step < StepCount() && step < static_cast<int>(comments.size()); ++step)
        m_cells[step][kColComment] = comments[step];

    int taken = 0;
    for (std::string line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == kReadListEnd)
            break;
        const std::vector<std::string> fields = SplitKeepingEmpty(line, ',');
        if (static_cast<int>(fields.size()) < kReadFieldCount)
            continue;
        const long long wireStep = LeadingInt(fields[0]);
        if (wireStep < 1 || wireStep > StepCount())
            continue;
        const int step = static_cast<int>(wireStep - 1);
        bool complete = true;
        for (int k = kColMode; k <= kColJump; ++k)
            complete = complete && !fields[k].empty();
        if (!complete)
            continue;
        CellRow texts;
        texts[kColStep] = FormatInt(step);
        for (int k = kColMode; k <= kColJump; ++k)
            texts[k] = fields[k];
        if (fields[kColMode] == "A")
            texts[kColMode] = "ABS";
        else if (fields[kColMode] == "I")
            texts[kColMode] = "INC";
        const int jump = LeadingInt(fields[kColJump]);
        texts[kColJump] = jump == 0 ? "E" : FormatInt(static_cast<long long>(jump) - 1);
        CKVL_VER2_ProgData record;
        record.SetRow(texts, m_rules.Texts());
        m_working[step] = record;
        m_driver[step] = record;
        RefreshRow(step, kColJump);
        ++taken;
    }
    KeepEdits(false);
    return taken;
}

} // namespace kvl::points
