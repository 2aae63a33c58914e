#include "Theme.hpp"

#include "DescriptionError.hpp"
#include "FieldReader.hpp"
#include "PatternSteps.hpp"

#include <sstream>

namespace sfxgen {
namespace {

// Longer music would be a mistake in the description, and the whole loop is held in memory.
constexpr double maxSeconds = 600.0;

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::istringstream input(text);
    std::string item;
    while (std::getline(input, item, ',')) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

[[noreturn]] void fail(const DescriptionLine& line, const std::string& problem) {
    throw DescriptionError(line.file, line.number, problem);
}

const std::string& nameOf(const DescriptionLine& line) {
    if (line.words.empty()) {
        fail(line, "'" + line.keyword + "' needs a name");
    }
    return line.words.front();
}

Instrument parseInstrument(const DescriptionLine& line) {
    FieldReader fields(line);
    Instrument in;
    in.name = nameOf(line);
    in.wave = readWave(fields);
    in.duty = fields.number("duty", 0.5, 0.02, 0.98);
    in.voices = static_cast<int>(fields.number("voices", 1, 1, 8));
    in.detune = fields.number("detune", 0.0, 0.0, 100.0);
    in.attack = fields.number("attack", 0.005, 0.001, 4.0);
    in.decay = fields.number("decay", 0.3, 0.001, 8.0);
    in.sustain = fields.number("sustain", 0.7, 0.0, 1.0);
    in.release = fields.number("release", 0.15, 0.005, 8.0);
    in.cutoff = fields.number("cutoff", 20000.0, 20.0, 20000.0);
    in.q = fields.number("q", 0.707, 0.1, 20.0);
    in.filterEnvelope = fields.number("fenv", 0.0, 0.0, 8.0);
    in.filterDecay = fields.number("fdecay", 0.2, 0.001, 8.0);
    in.vibratoRate = fields.number("vibrato", 5.0, 0.0, 20.0);
    in.vibratoDepth = fields.number("vibdepth", 0.0, 0.0, 2.0);
    in.vibratoDelay = fields.number("vibdelay", 0.2, 0.0, 4.0);
    in.fmRatio = fields.number("fm", 0.0, 0.0, 32.0);
    in.fmIndex = fields.number("index", 0.0, 0.0, 20.0);
    in.fmDecay = fields.number("idecay", 0.0, 0.0, 8.0);
    in.drive = fields.number("drive", 0.0, 0.0, 20.0);
    in.gate = fields.number("gate", 0.92, 0.05, 1.0);
    const std::string low = fields.text("low", "C3");
    const auto lowNote = noteNumber(low);
    if (!lowNote) {
        fields.fail("field 'low': '" + low + "' is not a note name");
    }
    in.low = *lowNote;
    in.rootVoicing = fields.choice("voicing", {"close", "root"}) == "root";
    in.transpose = static_cast<int>(fields.number("transpose", 0, -48, 48));
    in.gain = fields.number("gain", 0.5, 0.0, 4.0);
    in.pan = fields.number("pan", 0.0, -1.0, 1.0);
    in.haas = fields.number("haas", 0.0, 0.0, 0.04);
    in.reverb = fields.number("reverb", 0.0, 0.0, 2.0);
    in.echo = fields.number("echo", 0.0, 0.0, 2.0);
    fields.finish();
    return in;
}

Drum parseDrum(const DescriptionLine& line) {
    FieldReader fields(line);
    Drum drum;
    drum.name = nameOf(line);
    drum.gain = fields.number("gain", 1.0, 0.0, 4.0);
    drum.pan = fields.number("pan", 0.0, -1.0, 1.0);
    drum.reverb = fields.number("reverb", 0.0, 0.0, 2.0);
    drum.echo = fields.number("echo", 0.0, 0.0, 2.0);
    fields.finish();
    return drum;
}

// Chords are written "Am F C G"; "Dm:2" lasts two beats instead of a whole bar.
Progression parseProgression(const DescriptionLine& line, int meter) {
    FieldReader(line).finish();
    Progression progression;
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        const auto colon = word.find(':');
        const std::string symbol = word.substr(0, colon);
        const auto chord = parseChord(symbol);
        if (!chord) {
            fail(line, "'" + symbol + "' is not a chord this generator knows");
        }
        double beats = meter;
        if (colon != std::string::npos) {
            try {
                beats = std::stod(word.substr(colon + 1));
            } catch (const std::exception&) {
                beats = 0.0;
            }
            if (!(beats > 0.0 && beats <= 64.0)) {
                fail(line, "'" + word + "': the length after ':' must be a number of beats");
            }
        }
        progression.chords.push_back({*chord, beats});
        progression.beats += beats;
    }
    if (progression.chords.empty()) {
        fail(line, "a progression needs at least one chord");
    }
    return progression;
}

class ThemeParser {
public:
    explicit ThemeParser(const std::vector<DescriptionLine>& lines) : mLines(lines) {}

    Theme parse();

private:
    void parseHeader(const DescriptionLine& line);
    void startPattern(const DescriptionLine& line);
    void parseSection(const DescriptionLine& line);
    void check() const;
    void checkPattern(const std::string& name, const Pattern& pattern) const;
    void checkSection(const std::string& name, const Section& section) const;
    const Pattern& patternFor(const std::string& name, const DescriptionLine& line) const;
    void registerName(const DescriptionLine& line);
    template <typename T>
    void define(std::map<std::string, T>& table, const DescriptionLine& line, T value);

    const std::vector<DescriptionLine>& mLines;
    Theme mTheme;
    std::map<std::string, const DescriptionLine*> mDefinedAt;
    Drum* mDrum = nullptr;
    Pattern* mPattern = nullptr;
    bool mCopied = false;
    const DescriptionLine* mSongLine = nullptr;
};

void ThemeParser::registerName(const DescriptionLine& line) {
    const std::string& name = nameOf(line);
    if (!mDefinedAt.emplace(line.keyword + " " + name, &line).second) {
        fail(line, line.keyword + " '" + name + "' is defined twice");
    }
}

template <typename T>
void ThemeParser::define(std::map<std::string, T>& table, const DescriptionLine& line, T value) {
    registerName(line);
    table.emplace(nameOf(line), std::move(value));
}

void ThemeParser::parseHeader(const DescriptionLine& line) {
    FieldReader fields(line);
    mTheme.tempo = fields.number("tempo", 120.0, 30.0, 300.0);
    mTheme.meter = static_cast<int>(fields.number("meter", 4, 1, 16));
    mTheme.room = fields.number("room", 0.6, 0.0, 1.0);
    mTheme.damp = fields.number("damp", 0.4, 0.0, 1.0);
    mTheme.reverbLevel = fields.number("reverb", 1.0, 0.0, 4.0);
    mTheme.echoBeats = fields.number("echo", 0.75, 0.05, 4.0);
    mTheme.echoFeedback = fields.number("feedback", 0.35, 0.0, 0.9);
    mTheme.echoCutoff = fields.number("echocut", 3500.0, 200.0, 20000.0);
    mTheme.peakDecibels = fields.number("level", -1.0, -40.0, -0.1);
    fields.finish();
}

void ThemeParser::startPattern(const DescriptionLine& line) {
    FieldReader fields(line);
    Pattern pattern;
    const std::string like = fields.text("like", "");
    if (!like.empty()) {
        if (mTheme.patterns.count(like) == 0) {
            fields.fail("no pattern named '" + like + "' above this line to copy");
        }
        pattern = patternFor(like, line);
        if (fields.has("grid")) {
            fields.fail("a copy keeps the grid of '" + like + "'");
        }
        if (pattern.instrument.empty() && fields.has("instrument")) {
            fields.fail("'" + like + "' is a drum pattern; its copy cannot take an instrument");
        }
    }
    pattern.grid = static_cast<int>(fields.number("grid", pattern.grid, 1, 64));
    pattern.instrument = fields.text("instrument", pattern.instrument);
    pattern.transpose += static_cast<int>(fields.number("transpose", 0, -48, 48));
    fields.finish();
    define(mTheme.patterns, line, std::move(pattern));
    mPattern = &mTheme.patterns[nameOf(line)];
    mCopied = !like.empty();
}

void ThemeParser::parseSection(const DescriptionLine& line) {
    FieldReader fields(line);
    Section section;
    section.bars = static_cast<int>(fields.number("bars", 4, 1, 256));
    section.progression = fields.text("chords", "");
    section.play = splitList(fields.text("play", ""));
    section.first = splitList(fields.text("first", ""));
    section.last = splitList(fields.text("last", ""));
    fields.finish();
    define(mTheme.sections, line, std::move(section));
}

Theme ThemeParser::parse() {
    parseHeader(mLines.front());
    for (std::size_t i = 1; i < mLines.size(); ++i) {
        const DescriptionLine& line = mLines[i];
        const std::string& keyword = line.keyword;
        const bool body = keyword == "layer" || keyword == "notes" || keyword == "hit";
        if (!body) {
            mDrum = nullptr;
            mPattern = nullptr;
        }
        if (keyword == "instrument") {
            mTheme.instruments.push_back(parseInstrument(line));
            registerName(line);
        } else if (keyword == "drum") {
            mTheme.drums.push_back(parseDrum(line));
            registerName(line);
            mDrum = &mTheme.drums.back();
        } else if (keyword == "layer") {
            if (!mDrum) {
                fail(line, "'layer' belongs under a 'drum'");
            }
            mDrum->layers.push_back(parseLayer(line));
        } else if (keyword == "progression") {
            define(mTheme.progressions, line, parseProgression(line, mTheme.meter));
        } else if (keyword == "pattern") {
            startPattern(line);
        } else if (keyword == "notes" || keyword == "hit") {
            const bool hits = keyword == "hit";
            if (!mPattern || mCopied || mPattern->instrument.empty() != hits) {
                fail(line, "'" + keyword + "' belongs under a pattern" +
                               (hits ? " without an instrument" : " with an instrument") +
                               " that is not a copy");
            }
            FieldReader(line).finish();
            if (hits && line.words.empty()) {
                fail(line, "'hit' needs the drum's name first");
            }
            const std::string drum = hits ? line.words.front() : "";
            PatternRow* row = nullptr;
            for (PatternRow& existing : mPattern->rows) {
                row = existing.drum == drum ? &existing : row;
            }
            if (!row) {
                mPattern->rows.push_back({drum, {}});
                row = &mPattern->rows.back();
            }
            appendSteps(*row, line.words, hits ? 1 : 0, mPattern->grid, hits, line);
        } else if (keyword == "section") {
            parseSection(line);
        } else if (keyword == "song") {
            FieldReader(line).finish();
            mTheme.song = line.words;
            mSongLine = &line;
        } else {
            fail(line, "unknown statement '" + keyword + "' in a theme");
        }
    }
    for (auto& entry : mTheme.patterns) {
        Pattern& pattern = entry.second;
        const std::size_t steps = pattern.rows.empty() ? 0 : pattern.rows.front().steps.size();
        pattern.bars = static_cast<int>(steps / pattern.grid);
    }
    check();
    return mTheme;
}

const Pattern& ThemeParser::patternFor(const std::string& name, const DescriptionLine& line) const {
    const auto it = mTheme.patterns.find(name);
    if (it == mTheme.patterns.end()) {
        fail(line, "no pattern named '" + name + "'");
    }
    return it->second;
}

void ThemeParser::check() const {
    for (const auto& drum : mTheme.drums) {
        if (drum.layers.empty()) {
            fail(*mDefinedAt.at("drum " + drum.name), "drum '" + drum.name + "' has no layers");
        }
    }
    for (const auto& entry : mTheme.patterns) {
        checkPattern(entry.first, entry.second);
    }
    for (const auto& entry : mTheme.sections) {
        checkSection(entry.first, entry.second);
    }
    if (!mSongLine || mTheme.song.empty()) {
        fail(mLines.front(), "a theme needs a 'song' line listing its sections");
    }
    double seconds = 0.0;
    for (const auto& name : mTheme.song) {
        const auto section = mTheme.sections.find(name);
        if (section == mTheme.sections.end()) {
            fail(*mSongLine, "no section named '" + name + "'");
        }
        seconds += section->second.bars * mTheme.meter * 60.0 / mTheme.tempo;
    }
    if (seconds > maxSeconds) {
        fail(*mSongLine, "the song lasts " + std::to_string(static_cast<int>(seconds)) +
                             " s; a theme may last at most " +
                             std::to_string(static_cast<int>(maxSeconds)) + " s");
    }
}

void ThemeParser::checkPattern(const std::string& name, const Pattern& pattern) const {
    const DescriptionLine& line = *mDefinedAt.at("pattern " + name);
    if (pattern.rows.empty()) {
        fail(line, "pattern '" + name + "' has no steps");
    }
    for (const PatternRow& row : pattern.rows) {
        if (row.steps.size() % pattern.grid != 0 || row.steps.empty()) {
            fail(line, "pattern '" + name + "' has " + std::to_string(row.steps.size()) + " steps" +
                           (row.drum.empty() ? "" : " for " + row.drum) +
                           ", not a whole number of " + std::to_string(pattern.grid) +
                           "-step bars");
        }
        if (row.steps.size() != pattern.rows.front().steps.size()) {
            fail(line, "pattern '" + name + "': every drum row must be as long as the first");
        }
        bool known = row.drum.empty();
        for (const Drum& drum : mTheme.drums) {
            known = known || drum.name == row.drum;
        }
        if (!known) {
            fail(line,
                 "pattern '" + name + "' plays drum '" + row.drum + "', which is not defined");
        }
    }
    bool known = pattern.instrument.empty();
    for (const Instrument& instrument : mTheme.instruments) {
        known = known || instrument.name == pattern.instrument;
    }
    if (!known) {
        fail(line, "pattern '" + name + "' uses instrument '" + pattern.instrument +
                       "', which is not defined");
    }
}

void ThemeParser::checkSection(const std::string& name, const Section& section) const {
    const DescriptionLine& line = *mDefinedAt.at("section " + name);
    if (!section.progression.empty() && mTheme.progressions.count(section.progression) == 0) {
        fail(line, "no progression named '" + section.progression + "'");
    }
    for (const auto* list : {&section.play, &section.first, &section.last}) {
        for (const std::string& patternName : *list) {
            const Pattern& pattern = patternFor(patternName, line);
            if (pattern.bars > section.bars && list != &section.play) {
                fail(line, "pattern '" + patternName + "' is longer than the section");
            }
            for (const Step& step : pattern.rows.front().steps) {
                const bool needsChord =
                    step.kind == Step::Kind::ChordTone || step.kind == Step::Kind::WholeChord;
                if (needsChord && section.progression.empty()) {
                    fail(line, "pattern '" + patternName +
                                   "' plays chord tones, so the section needs chords=");
                }
            }
        }
    }
}

} // namespace

Theme parseTheme(const std::vector<DescriptionLine>& lines) {
    return ThemeParser(lines).parse();
}

} // namespace sfxgen
