#include "tools/modgen/Composition.h"

#include "tools/modgen/Instruments.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

enum { rowsPerBar = 16, barsPerPattern = patternRows / rowsPerBar };

// "D-2", "C#3": the note's index from C-1.
int Note(const char* name)
{
    static const char letters[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
    for (int pitch = 0; pitch < 12; ++pitch)
        if (std::strncmp(letters + 2 * pitch, name, 2) == 0)
            return pitch + 12 * (name[2] - '1');
    return -1;
}

struct Chord {
    int root; // pitch class, C = 0
    bool minor;
    bool operator!=(const Chord& other) const { return root != other.root || minor != other.minor; }
};

// "Dm Bb F C": one chord to a bar.
void ParseChords(const char* text, Chord chords[barsPerPattern])
{
    static const char* names[12] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B"};
    for (int bar = 0; bar < barsPerPattern; ++bar) {
        while (*text == ' ')
            ++text;
        int length = 1;
        if (text[1] == '#' || text[1] == 'b')
            length = 2;
        for (int pitch = 0; pitch < 12; ++pitch)
            if ((int)std::strlen(names[pitch]) == length && std::strncmp(names[pitch], text, length) == 0)
                chords[bar].root = pitch;
        text += length;
        chords[bar].minor = *text == 'm';
        if (chords[bar].minor)
            ++text;
    }
}

// The lowest note of that pitch class at or above low.
int Lowest(int pitchClass, int low)
{
    int note = low;
    while (note % 12 != pitchClass)
        ++note;
    return note;
}

int Third(const Chord& chord)
{
    return chord.minor ? 3 : 4;
}

enum Drums { noDrums, pulseDrums, sparseDrums, halfTimeDrums, fullDrums };
enum Bass { noBass, longBass, movingBass };
enum Upper { noUpper, slowArpeggio, fastArpeggio, melody, shimmer };

// One pattern of the song: its chords, which voices play and how, and the
// loudness of the whole at its first and at its last row.
struct Section {
    const char* chords;
    Drums drums;
    Bass bass;
    Upper upper;
    int phrase;
    bool fill;
    double gainFrom, gainTo;
};

// Melody phrases: note and length in rows, bar after bar; "---" rests.
struct MelodyNote {
    const char* note;
    int rows;
    bool glide;
};

const MelodyNote phraseCall[] = {
    {"A-2", 6}, {"G-2", 2}, {"A-2", 8},
    {"F-2", 4}, {"D-2", 4}, {"F-2", 4}, {"G-2", 4},
    {"A-2", 12}, {"C-3", 4},
    {"G-2", 14}, {"---", 2},
    {nullptr, 0}};
const MelodyNote phraseAnswer[] = {
    {"A-2", 6}, {"G-2", 2}, {"A-2", 4}, {"D-3", 4},
    {"D-3", 6}, {"C-3", 2}, {"A#2", 8},
    {"G-2", 4}, {"A-2", 4}, {"A#2", 4}, {"D-3", 4},
    {"C#3", 14, true}, {"---", 2},
    {nullptr, 0}};
const MelodyNote phraseRise[] = {
    {"F-3", 8}, {"E-3", 4}, {"D-3", 4},
    {"D-3", 8}, {"C-3", 4}, {"A#2", 4},
    {"C-3", 12}, {"A-2", 4},
    {"G-2", 8}, {"A-2", 4}, {"A#2", 4},
    {nullptr, 0}};
const MelodyNote phraseHome[] = {
    {"A#2", 6}, {"A-2", 2}, {"G-2", 8},
    {"F-2", 4}, {"G-2", 4}, {"A-2", 4}, {"D-3", 4},
    {"C#3", 8}, {"E-3", 4}, {"C#3", 4},
    {"D-3", 14}, {"---", 2},
    {nullptr, 0}};
const MelodyNote* const phrases[] = {phraseCall, phraseAnswer, phraseRise, phraseHome};

// The whole song, pattern after pattern. Intro, the arpeggio theme, the
// melody, the arpeggio again, a darker middle over E flat, the melody's
// return with the full kit, and a fade into the intro's quiet.
const Section song[] = {
    {"Dm Bb F C", noDrums, noBass, slowArpeggio, 0, false, 0.35, 0.8},
    {"Dm Bb Gm A", noDrums, longBass, slowArpeggio, 0, false, 0.8, 1.0},
    {"Dm Bb F C", pulseDrums, longBass, fastArpeggio, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", pulseDrums, movingBass, fastArpeggio, 0, true, 1.0, 1.0},
    {"Dm Bb F C", halfTimeDrums, movingBass, melody, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", halfTimeDrums, movingBass, melody, 1, false, 1.0, 1.0},
    {"Dm Bb F C", halfTimeDrums, movingBass, melody, 2, false, 1.0, 1.0},
    {"Gm Bb A Dm", halfTimeDrums, movingBass, melody, 3, true, 1.0, 1.0},
    {"Dm Bb F C", halfTimeDrums, movingBass, fastArpeggio, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", halfTimeDrums, movingBass, fastArpeggio, 0, true, 1.0, 1.0},
    {"Bb F Gm Dm", sparseDrums, longBass, shimmer, 0, false, 1.0, 1.0},
    {"Gm Eb Bb A", sparseDrums, longBass, shimmer, 0, false, 1.0, 1.0},
    {"Bb F Gm Dm", pulseDrums, movingBass, shimmer, 0, false, 1.0, 1.0},
    {"Gm Eb Bb A", halfTimeDrums, movingBass, shimmer, 0, true, 1.0, 1.0},
    {"Dm Bb F C", fullDrums, movingBass, melody, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", fullDrums, movingBass, melody, 1, false, 1.0, 1.0},
    {"Dm Bb F C", fullDrums, movingBass, melody, 2, false, 1.0, 1.0},
    {"Gm Bb A Dm", fullDrums, movingBass, melody, 3, true, 1.0, 1.0},
    {"Dm Bb F C", fullDrums, movingBass, fastArpeggio, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", halfTimeDrums, movingBass, fastArpeggio, 0, true, 1.0, 1.0},
    {"Dm Bb F C", pulseDrums, longBass, fastArpeggio, 0, false, 1.0, 1.0},
    {"Dm Bb Gm A", sparseDrums, longBass, slowArpeggio, 0, false, 1.0, 1.0},
    {"Dm Bb F C", noDrums, longBass, slowArpeggio, 0, false, 1.0, 0.6},
    {"Dm Bb Dm Dm", noDrums, noBass, slowArpeggio, 0, false, 0.6, 0.0},
};
const int songLength = sizeof song / sizeof song[0];

// The song as one long sheet of rows before it is cut into patterns, with the
// loudness each note asks for beside it; the fades are applied over the whole
// sheet, since a note keeps sounding from one pattern into the next.
struct Sheet {
    std::vector<Cell> cells;
    std::vector<int> volumes; // -1: unchanged
    std::vector<double> gains;

    explicit Sheet(int rows)
        : cells((size_t)rows * moduleChannels), volumes((size_t)rows * moduleChannels, -1),
          gains((size_t)rows, 1.0)
    {
    }
    Cell& At(int row, int channel) { return cells[(size_t)row * moduleChannels + channel]; }
    void Play(int row, int channel, int note, int sample, int volume)
    {
        Cell& cell = At(row, channel);
        cell.note = note;
        cell.sample = sample;
        volumes[(size_t)row * moduleChannels + channel] = volume;
    }
    void Volume(int row, int channel, int volume)
    {
        volumes[(size_t)row * moduleChannels + channel] = volume;
    }
    void Effect(int row, int channel, int effect, int parameter)
    {
        Cell& cell = At(row, channel);
        cell.effect = effect;
        cell.parameter = parameter;
    }
};

bool EffectFree(const Cell& cell)
{
    return cell.effect == 0 && cell.parameter == 0;
}

// One bar of the kit on its one channel: kick, snare, soft and accented
// closed hat, open hat. Each hit cuts the one before, as on any tracker.
void DrumHits(Sheet& sheet, int row, const char* bar)
{
    int snareVolume = 30;
    for (int step = 0; step < rowsPerBar; ++step)
        switch (bar[step]) {
        case 'k': sheet.Play(row + step, drumChannel, Note("C-3"), kickSample, 62); break;
        case 's':
            sheet.Play(row + step, drumChannel, Note("C-3"), snareSample, step < 9 ? 46 : snareVolume);
            snareVolume += 5;
            break;
        case 'h': sheet.Play(row + step, drumChannel, Note("C-3"), closedHatSample, 14); break;
        case 'H': sheet.Play(row + step, drumChannel, Note("C-3"), closedHatSample, 24); break;
        case 'o': sheet.Play(row + step, drumChannel, Note("C-3"), openHatSample, 20); break;
        }
}

void DrumBar(Sheet& sheet, int row, Drums drums, int bar, bool fill)
{
    bool last = bar == barsPerPattern - 1;
    if (drums == noDrums)
        return;
    if (fill && last) {
        DrumHits(sheet, row, "k.h.H.k.s.s.ssss");
        return;
    }
    switch (drums) {
    case pulseDrums: DrumHits(sheet, row, last ? "k...H...k...H.o." : "k...H...k...H..."); break;
    case sparseDrums: DrumHits(sheet, row, bar % 2 ? "k.......H......." : "k..............."); break;
    case halfTimeDrums: DrumHits(sheet, row, last ? "k.h.H.k.s.h.Hkh." : "k.h.H.k.s.h.H.h."); break;
    case fullDrums: DrumHits(sheet, row, last ? "k.hhH.k.s.hhHkho" : "k.hhH.k.s.hhH.h."); break;
    default: break;
    }
}

void BassBar(Sheet& sheet, int row, Bass bass, const Chord& chord)
{
    int root = Lowest(chord.root, Note("A-1"));
    if (bass == longBass) {
        sheet.Play(row, bassChannel, root, bassSample, 36);
        sheet.Play(row + 14, bassChannel, root + 12, bassSample, 22);
    } else if (bass == movingBass) {
        static const struct { int step, interval, volume; } line[] = {
            {0, 0, 36}, {3, 0, 26}, {6, 12, 28}, {8, 0, 33}, {11, 0, 24}, {12, 7, 30}, {14, 12, 26}};
        for (const auto& note : line)
            sheet.Play(row + note.step, bassChannel, root + note.interval, bassSample, note.volume);
    }
}

void PadBar(Sheet& sheet, int row, const Chord& chord, bool struck, bool released)
{
    int root = Lowest(chord.root, Note("A-1"));
    if (struck)
        sheet.Play(row, padChannel, root, chord.minor ? minorPadSample : majorPadSample, 44);
    // The chord breathes out before the next one comes in.
    if (released) {
        sheet.Volume(row + 13, padChannel, 38);
        sheet.Volume(row + 14, padChannel, 32);
        sheet.Volume(row + 15, padChannel, 26);
    }
}

void ArpeggioBar(Sheet& sheet, int row, const Chord& chord, bool fast)
{
    // Chord tones climbing through two octaves; the pluck's register keeps
    // the highest of them, a twelfth above the root, within B-3.
    int root = Lowest(chord.root, Note("F-1"));
    int third = 12 + Third(chord);
    const int slow[8] = {0, 7, 12, third, 19, third, 12, 7};
    const int quick[16] = {0, 7, 12, 7, third, 12, 19, 12, 0, 7, 12, 7, third, 19, 12, 7};
    if (fast) {
        for (int step = 0; step < rowsPerBar; ++step)
            sheet.Play(row + step, upperChannel, root + quick[step], pluckSample,
                       step % 4 == 0 ? 34 : step % 2 == 0 ? 26 : 20);
    } else {
        for (int step = 0; step < 8; ++step)
            sheet.Play(row + 2 * step, upperChannel, root + slow[step], pluckSample, step % 2 ? 28 : 36);
    }
}

// A held tone that flickers through its chord with the arpeggio effect, the
// way trackers have always played chords on one channel.
void ShimmerBar(Sheet& sheet, int row, const Chord& chord)
{
    // Low enough that the arpeggio's fifth stays within B-3.
    int root = Lowest(chord.root, Note("F-1"));
    int arpeggio = Third(chord) << 4 | 7;
    sheet.Play(row, upperChannel, root + 12, leadSample, 26);
    for (int step = 1; step < rowsPerBar; ++step)
        sheet.Effect(row + step, upperChannel, 0, arpeggio);
    sheet.Play(row + 8, upperChannel, root + 12, leadSample, 20);
    sheet.Effect(row + 8, upperChannel, 0, 0);
}

void Melody(Sheet& sheet, int row, const MelodyNote* phrase)
{
    for (; phrase->note; row += phrase->rows, ++phrase) {
        int note = Note(phrase->note);
        if (note < 0) {
            sheet.Volume(row, upperChannel, 0);
            continue;
        }
        if (phrase->glide) {
            // Slide into the note from the last one without striking it again.
            Cell& cell = sheet.At(row, upperChannel);
            cell.note = note;
            sheet.Effect(row, upperChannel, 3, 0x02);
            for (int step = 1; step < 3; ++step)
                sheet.Effect(row + step, upperChannel, 3, 0x00);
            sheet.Volume(row + 3, upperChannel, 44);
        } else {
            sheet.Play(row, upperChannel, note, leadSample, 44);
        }
        // Long notes swell into a vibrato after a beat.
        if (phrase->rows >= 8)
            for (int step = 4; step < phrase->rows - 1; ++step)
                sheet.Effect(row + step, upperChannel, 4, step < 6 ? 0x41 : 0x52);
        if (phrase->rows >= 4)
            sheet.Volume(row + phrase->rows - 1, upperChannel, 36);
    }
}

// Turns the loudness each note asks for, times the song's fade at that row,
// into set-volume effects, on every row where the channel's effect column is
// free. A note always carries its volume, so the writers keep other effects
// off the rows where notes are struck.
void ApplyVolumes(Sheet& sheet, int rows)
{
    for (int channel = 0; channel < moduleChannels; ++channel) {
        int wanted = -1, written = -1;
        for (int row = 0; row < rows; ++row) {
            int asked = sheet.volumes[(size_t)row * moduleChannels + channel];
            if (asked >= 0)
                wanted = asked;
            Cell& cell = sheet.At(row, channel);
            if (cell.note >= 0 && cell.sample)
                written = -1; // a struck note starts at the sample's own volume
            if (wanted < 0)
                continue;
            int volume = (int)std::floor(wanted * sheet.gains[(size_t)row] + 0.5);
            if (volume != written && EffectFree(cell)) {
                sheet.Effect(row, channel, 12, volume);
                written = volume;
            }
        }
    }
}

} // namespace

Module ComposeSoundtrack(void)
{
    const int rows = songLength * patternRows;
    Sheet sheet(rows);
    Chord previous = {-1, false};
    for (int slot = 0; slot < songLength; ++slot) {
        const Section& section = song[slot];
        Chord chords[barsPerPattern];
        ParseChords(section.chords, chords);
        Chord next[barsPerPattern];
        ParseChords(song[(slot + 1) % songLength].chords, next);
        int first = slot * patternRows;
        for (int row = 0; row < patternRows; ++row)
            sheet.gains[(size_t)(first + row)] =
                section.gainFrom + (section.gainTo - section.gainFrom) * row / (patternRows - 1);
        for (int bar = 0; bar < barsPerPattern; ++bar) {
            int row = first + bar * rowsPerBar;
            const Chord& following = bar + 1 < barsPerPattern ? chords[bar + 1] : next[0];
            PadBar(sheet, row, chords[bar], chords[bar] != previous, following != chords[bar]);
            previous = chords[bar];
            DrumBar(sheet, row, section.drums, bar, section.fill);
            BassBar(sheet, row, section.bass, chords[bar]);
            if (section.upper == slowArpeggio || section.upper == fastArpeggio)
                ArpeggioBar(sheet, row, chords[bar], section.upper == fastArpeggio);
            else if (section.upper == shimmer)
                ShimmerBar(sheet, row, chords[bar]);
        }
        if (section.upper == melody)
            Melody(sheet, first, phrases[section.phrase]);
        // Leaving the melody or the shimmer, the lead falls silent.
        if (section.upper != melody && section.upper != shimmer && slot > 0 &&
            (song[slot - 1].upper == melody || song[slot - 1].upper == shimmer) &&
            sheet.At(first, upperChannel).note < 0)
            sheet.Volume(first, upperChannel, 0);
        if (section.bass == noBass && slot > 0 && song[slot - 1].bass != noBass)
            sheet.Volume(first, bassChannel, 0);
    }
    // Speed and tempo at the top, where a loop comes back to as well.
    sheet.Effect(0, drumChannel, 15, songSpeed);
    sheet.Effect(0, bassChannel, 15, songTempo);
    ApplyVolumes(sheet, rows);

    Module module;
    module.title = "fenwarrow's vessick";
    module.samples = SynthesiseInstruments();
    for (int slot = 0; slot < songLength; ++slot) {
        Pattern pattern;
        for (int row = 0; row < patternRows; ++row)
            for (int channel = 0; channel < moduleChannels; ++channel)
                pattern.cells[row][channel] = sheet.At(slot * patternRows + row, channel);
        size_t found = 0;
        while (found < module.patterns.size() && !(module.patterns[found] == pattern))
            ++found;
        if (found == module.patterns.size())
            module.patterns.push_back(pattern);
        module.order.push_back((int)found);
    }
    return module;
}
