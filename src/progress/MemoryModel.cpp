#include "progress/MemoryModel.h"

#include "progress/JournalFields.h"

#include <algorithm>
#include <cmath>

namespace lexaro {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kLowestStability = 0.01;
constexpr std::int32_t kNotMoreUse = 9;

double Grade(TRecallGrade grade) {
    return static_cast<double>(static_cast<std::int32_t>(grade));
}

double ClampDifficulty(double d) {
    return std::clamp(d, 1.0, 10.0);
}

} // namespace

double TFsrs::Retrievability(double elapsedDays, double stability) {
    if (stability <= 0)
        return 0;
    return std::pow(1.0 + kFactor * std::max(elapsedDays, 0.0) / stability, kDecay);
}

double TFsrs::IntervalDays(double stability, double targetRecall) {
    return stability / kFactor * (std::pow(targetRecall, 1.0 / kDecay) - 1.0);
}

double TFsrs::InitialStability(TRecallGrade grade) const {
    return std::max(w_[static_cast<std::size_t>(grade) - 1], kLowestStability);
}

double TFsrs::InitialDifficulty(TRecallGrade grade) const {
    return ClampDifficulty(w_[4] - std::exp(w_[5] * (Grade(grade) - 1.0)) + 1.0);
}

double TFsrs::NextDifficulty(double difficulty, TRecallGrade grade) const {
    const double delta = -w_[6] * (Grade(grade) - 3.0);
    // Linear damping: the nearer to 10, the smaller the step.
    const double damped = difficulty + delta * (10.0 - difficulty) / 9.0;
    // Mean reversion towards the difficulty of a first "easy".
    return ClampDifficulty(w_[7] * InitialDifficulty(TRecallGrade::Easy) + (1.0 - w_[7]) * damped);
}

double TFsrs::StabilityAfterRecall(double difficulty, double stability, double recall,
                                   TRecallGrade grade) const {
    const double hard = grade == TRecallGrade::Hard ? w_[15] : 1.0;
    const double easy = grade == TRecallGrade::Easy ? w_[16] : 1.0;
    return stability * (std::exp(w_[8]) * (11.0 - difficulty) * std::pow(stability, -w_[9]) *
                            (std::exp(w_[10] * (1.0 - recall)) - 1.0) * hard * easy +
                        1.0);
}

double TFsrs::StabilityAfterLapse(double difficulty, double stability, double recall) const {
    const double s = w_[11] * std::pow(difficulty, -w_[12]) *
                     (std::pow(stability + 1.0, w_[13]) - 1.0) * std::exp(w_[14] * (1.0 - recall));
    return std::clamp(s, kLowestStability, std::max(stability, kLowestStability));
}

double TFsrs::ShortTermStability(double stability, TRecallGrade grade) const {
    return std::max(stability * std::exp(w_[17] * (Grade(grade) - 3.0 + w_[18])), kLowestStability);
}

double TMemoryState::RecallAt(std::int64_t seconds) const {
    return TFsrs::Retrievability(static_cast<double>(seconds - lastReview) / kSecondsPerDay,
                                 stability);
}

std::int64_t TMemoryState::DueAt(double targetRecall) const {
    const double days = TFsrs::IntervalDays(stability, targetRecall);
    // Far beyond any calendar the journal has: a memory that holds for good.
    const double seconds = std::min(days * kSecondsPerDay, 1e15);
    return lastReview + static_cast<std::int64_t>(std::llround(seconds));
}

TMemoryState Review(const TFsrs& fsrs, const std::optional<TMemoryState>& before,
                    TRecallGrade grade, std::int64_t seconds) {
    TMemoryState after;
    after.lastReview = seconds;
    if (!before) {
        after.stability = fsrs.InitialStability(grade);
        after.difficulty = fsrs.InitialDifficulty(grade);
        after.reviews = 1;
        after.lapses = grade == TRecallGrade::Again ? 1 : 0;
        return after;
    }
    // A journal of several files may hold a line older than the last: no time has passed.
    after.lastReview = std::max(seconds, before->lastReview);
    const double elapsedDays =
        static_cast<double>(after.lastReview - before->lastReview) / kSecondsPerDay;
    after.reviews = before->reviews + 1;
    after.lapses = before->lapses + (grade == TRecallGrade::Again ? 1 : 0);
    after.difficulty = fsrs.NextDifficulty(before->difficulty, grade);
    if (elapsedDays < 1.0) {
        after.stability = fsrs.ShortTermStability(before->stability, grade);
        return after;
    }
    const double recall = TFsrs::Retrievability(elapsedDays, before->stability);
    after.stability =
        grade == TRecallGrade::Again
            ? fsrs.StabilityAfterLapse(before->difficulty, before->stability, recall)
            : fsrs.StabilityAfterRecall(before->difficulty, before->stability, recall, grade);
    return after;
}

std::optional<TRecallGrade> GradeOf(TJournalVerdict verdict, std::int32_t priorityChosen) {
    if (verdict == TJournalVerdict::Right)
        return TRecallGrade::Good;
    if (verdict == TJournalVerdict::Wrong)
        return TRecallGrade::Again;
    if (priorityChosen >= 1 && priorityChosen < kNotMoreUse)
        return TRecallGrade::Good;
    return std::nullopt;
}

bool TMemoryReplay::Data(std::string_view line) {
    TJournalFields fields;
    if (!SplitJournalLine(line, fields))
        return false;
    const std::optional<TRecallGrade> grade = GradeOf(fields.verdict, fields.priority);
    if (!grade)
        return true;
    TLessonMemories& lesson = lessons_[fields.lesson];
    auto it = lesson.find(fields.text1);
    if (it == lesson.end())
        it = lesson.emplace(std::string(fields.text1), TPairMemory{}).first;
    std::optional<TMemoryState>& memory = it->second.sides[fields.side == 2 ? 1 : 0];
    if (!memory)
        ++memories_;
    memory = Review(fsrs_, memory, *grade, fields.seconds);
    return true;
}

const TMemoryReplay::TPairMemory* TMemoryReplay::FindPair(std::int32_t lesson,
                                                          std::string_view text1Utf8) const {
    const auto found = lessons_.find(lesson);
    if (found == lessons_.end())
        return nullptr;
    const TLessonMemories& pairs = found->second;
    // Most texts hold nothing the journal escapes: they are looked up as they are.
    const bool plain = text1Utf8.find_first_of("\\\t\n\r") == std::string_view::npos;
    if (plain) {
        const auto it = pairs.find(text1Utf8);
        return it == pairs.end() ? nullptr : &it->second;
    }
    const std::string escaped = EscapeJournalText(text1Utf8);
    const auto it = pairs.find(std::string_view(escaped));
    return it == pairs.end() ? nullptr : &it->second;
}

const TMemoryState* TMemoryReplay::Find(std::int32_t lesson, std::string_view text1Utf8,
                                        std::int32_t side) const {
    const TPairMemory* pair = FindPair(lesson, text1Utf8);
    return pair ? pair->Side(side) : nullptr;
}

} // namespace lexaro
