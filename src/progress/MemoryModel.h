#pragma once

// The learner's memory of each pair and direction, replayed from the practice journal: the
// Free Spaced Repetition Scheduler, version 5 (FSRS-5), from its published formulas with its
// published default parameters. A memory has a stability S (the days until the chance of
// recall falls to 90 %) and a difficulty D (1 to 10); the chance of recall t days after the
// last review is its retrievability R(t, S). Nothing of it is stored: the journal is the one
// record, and the model is derived from it whenever it is needed.

#include "progress/Journal.h"
#include "progress/JournalReader.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lexaro {

// How a review went: FSRS's four grades. Lexaro's cards give Again (forgotten) and Good
// (remembered) only.
enum class TRecallGrade : std::int32_t { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// FSRS-5's nineteen default weights w0..w18.
inline constexpr std::array<double, 19> kFsrs5Weights = {
    0.40255, 1.18385, 3.173, 15.69105, 7.1949, 0.5345, 1.4604, 0.0046,  1.54575, 0.1192,
    1.01925, 1.9395,  0.11,  0.29605,  2.2698, 0.2315, 2.9898, 0.51655, 0.6621};

// The formulas, each on its own so that tests can check them against values worked out by hand.
class TFsrs {
public:
    explicit TFsrs(const std::array<double, 19>& weights = kFsrs5Weights) : w_(weights) {}

    static constexpr double kDecay = -0.5;
    static constexpr double kFactor = 19.0 / 81.0; // R(S, S) = 0.9

    // R(t, S) = (1 + FACTOR * t / S) ^ DECAY
    static double Retrievability(double elapsedDays, double stability);
    // The days after which R falls to the target: S / FACTOR * (target ^ (1 / DECAY) - 1).
    static double IntervalDays(double stability, double targetRecall);

    // S0(G) = w[G-1]
    double InitialStability(TRecallGrade grade) const;
    // D0(G) = w4 - e^(w5 * (G - 1)) + 1, within 1..10
    double InitialDifficulty(TRecallGrade grade) const;
    // D' = w7 * D0(Easy) + (1 - w7) * (D + dD * (10 - D) / 9), dD = -w6 * (G - 3); within 1..10
    double NextDifficulty(double difficulty, TRecallGrade grade) const;
    // S'r = S * (e^w8 * (11 - D) * S^-w9 * (e^(w10 * (1 - R)) - 1) * w15 [Hard] * w16 [Easy] + 1)
    double StabilityAfterRecall(double difficulty, double stability, double recall,
                                TRecallGrade grade) const;
    // S'f = w11 * D^-w12 * ((S + 1)^w13 - 1) * e^(w14 * (1 - R)), never above S
    double StabilityAfterLapse(double difficulty, double stability, double recall) const;
    // A second review on the same day: S' = S * e^(w17 * (G - 3 + w18))
    double ShortTermStability(double stability, TRecallGrade grade) const;

private:
    std::array<double, 19> w_;
};

// The memory of one pair in one direction.
struct TMemoryState {
    double stability = 0;
    double difficulty = 0;
    std::int64_t lastReview = 0; // seconds since 1970, UTC
    std::int32_t reviews = 0;
    std::int32_t lapses = 0;

    // The chance of recall at a time (seconds since 1970, UTC).
    double RecallAt(std::int64_t seconds) const;
    // When the chance of recall falls to the target.
    std::int64_t DueAt(double targetRecall) const;

    friend bool operator==(const TMemoryState&, const TMemoryState&) = default;
};

// The state after one review at a time; the first review when there is no state yet.
TMemoryState Review(const TFsrs& fsrs, const std::optional<TMemoryState>& before,
                    TRecallGrade grade, std::int64_t seconds);

// What a journal line says of the learner's memory: a typed answer right or wrong, a priority
// 1 to 8 chosen (remembered); none for a card passed without a choice (seen, not graded) and
// for "not more use" (the pair retires through its marks in the language file).
std::optional<TRecallGrade> GradeOf(TJournalVerdict verdict, std::int32_t priorityChosen);

// The memories of a language file's pairs, replayed line by line from its journal. A pair is
// known by its lesson and its first text, not by its id: the editor renumbers pairs, their
// texts stay. Two pairs of one text in a lesson (doubles) ask the same question and share a
// memory. Each presented side has a memory of its own.
class TMemoryReplay : public TJournalLines {
public:
    // The memories of one pair: sides[0] shown from the first language, sides[1] from the
    // second.
    struct TPairMemory {
        std::array<std::optional<TMemoryState>, 2> sides;
        const TMemoryState* Side(std::int32_t side) const {
            const auto& memory = sides[side == 2 ? 1 : 0];
            return memory ? &*memory : nullptr;
        }
    };

    explicit TMemoryReplay(TFsrs fsrs = TFsrs{}) : fsrs_(fsrs) {}

    // One line (without its line end), as a journal has it; false when it does not parse.
    bool Data(std::string_view line) override;

    // The number of memories: pairs times the sides they were graded from.
    std::size_t Memories() const { return memories_; }
    // True when a pair of the lesson has a memory: a walk over a file skips the others.
    bool HasLesson(std::int32_t lesson) const { return lessons_.count(lesson) != 0; }

    // The memories of a pair, found by its lesson and first text (UTF-8); none when it was
    // never graded from either side.
    const TPairMemory* FindPair(std::int32_t lesson, std::string_view text1Utf8) const;
    // The memory of a pair shown from a side (1 or 2); none when it was never graded so.
    const TMemoryState* Find(std::int32_t lesson, std::string_view text1Utf8,
                             std::int32_t side) const;

private:
    // Looks up texts as string views: a text that needs no escape is not copied.
    struct TTextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    // A lesson's pairs by their first text as the journal escapes it.
    using TLessonMemories =
        std::unordered_map<std::string, TPairMemory, TTextHash, std::equal_to<>>;

    TFsrs fsrs_;
    std::unordered_map<std::int32_t, TLessonMemories> lessons_;
    std::size_t memories_ = 0;
};

} // namespace lexaro
