#!/usr/bin/env python3
"""Lists every (section, key) pair of the language files that the design document names.

Usage: scripts/extract_lang_keys.py DESIGN.md > system/src/lang/keys.txt

The document names language texts in several ways: as ("KEY", "Section") pairs, as keys listed
after a phrase such as 'from section "X"', as ranges ("GRID_C1" ... "GRID_C17"), in tables whose
section is given by the paragraph, and as key patterns (the monitor window's signal names). This
script follows those conventions; a key that is never tied to a section is assigned to the
section of the chapter that mentions it. Not run by the build or CI: its output is checked in and
read by the tests of the shipped language files.
"""
import re
import sys

KEY_RE = r'(?:IDC_|IDS_|IDD_|ID_|GRID_|SCRIPT_|STR_|DS_|TOOLTIPS|IDOK|IDCANCEL|KVL_VER2_)[A-Za-z0-9_%-]*'
SECTION_RE = r'(?:IDD_[A-Za-z0-9_-]+|KVL_VER2_[A-Za-z0-9_]+|Common|COMMON|TOOLTIPS|Alarm[A-Z]+)'
ELLIPSIS = r'(?:…|\.\.\.)'
RANGE_SEP = r'\s*(?:…|\.\.\.|to)\s*'

PAIR = re.compile(r'\("(' + KEY_RE + r')",\s*(?:"(' + SECTION_RE + r')"|' + ELLIPSIS + r')\)')
PAIR_RANGE = re.compile(r'\("(' + KEY_RE + r')",\s*(?:"(' + SECTION_RE + r')"|' + ELLIPSIS + r')\)'
                        + RANGE_SEP + r'\("(' + KEY_RE + r')",\s*(?:"(' + SECTION_RE + r')"|'
                        + ELLIPSIS + r')\)')
KEY_RANGE = re.compile(r'"(' + KEY_RE + r')"' + RANGE_SEP + r'"(' + KEY_RE + r')"')
# Section of a range written as ("A" ... "B", "Section").
KEY_RANGE_PAIR = re.compile(r'\("(' + KEY_RE + r')"' + RANGE_SEP + r'"(' + KEY_RE + r')",\s*"('
                            + SECTION_RE + r')"\)')
SECTION_MENTION = re.compile(r'section(?:\s+S\s+is)?\s+"(' + SECTION_RE + r')"'
                             r'|"(' + SECTION_RE + r')"(?:/"[A-Za-z]+")?\s+section')
QUOTED_KEY = re.compile(r'"(' + KEY_RE + r')"')
TITLE_KEY = re.compile(r'(?:key|title:? key)\s+"(IDD_[A-Za-z0-9_]+)"')
PART = re.compile(r'^# Part (\d+)\.(\d+)')

# Section of a chapter, for keys that are named there without any section.
PART_SECTION = {
    (4, 1): 'IDD_KVL_VER2_CONTROL_DIALOG', (4, 2): 'IDD_KVL_VER2_AXIS_LINK_STATUS_DIALOG',
    (4, 3): 'IDD_KVL_VER2_PORT_SET_DIALIG', (4, 4): 'IDD_DIALOG_OFFLINE_EDIT_CHOICE',
    (4, 5): 'IDD_KVL_VER2_CONFIRM', (5, 1): 'IDD_KVL_VER2_PROGSTEP_DIALOG',
    (5, 2): 'IDD_KVL_VER2_PROGSTEP_DIALOG', (5, 3): 'IDD_KVL_VER2_PROGSTEP_DIALOG',
    (5, 4): 'IDD_KVL_VER2_PROGSTEP_DIALOG', (5, 5): 'IDD_KVL_VER2_PROGSTEP_DIALOG',
    (6, 1): 'IDD_KVL_VER2_PMTLIST_DIALOG', (6, 2): 'IDD_KVL_VER2_PMTLIST_DIALOG',
    (7, 1): 'IDD_KVL_VER2_MTRMONITOR_DIALOG', (8, 1): 'IDD_KVL_ROG_DIALOG',
    (8, 2): 'IDD_KVL_ROG_DIALOG', (9, 1): 'IDD_KVL_VER2_TUNING_DIALIG',
    (9, 2): 'IDD_KVL_VER2_TUNING_DIALIG', (10, 1): 'IDD_KVL_GWX_DLG',
    (10, 2): 'IDD_KVL_GWX_NETSETLIST', (10, 3): 'IDD_KVL_GWX_EXTERNAL_NETWORK_PARAM',
    (10, 4): 'IDD_KVL_GWX_ALARMLIST',
}
MONITOR = 'IDD_KVL_VER2_MTRMONITOR_DIALOG'
MONITOR_MODELS = ('MDB', 'MDC', 'MDC-X')
SIGNAL_PREFIX = 'IDC_RADIO_M1_'
# Sections whose window title is not looked up under the section's own name.
NO_TITLE = {'IDD_KVL_VER2_CONFORM', 'IDD_KVL_VER2_CONFIRM'}


def split_number(key):
    m = re.match(r'^(.*?)(\d+)(\D*)$', key)
    return (m.group(1), int(m.group(2)), m.group(3)) if m else None


def expand(first, last):
    a, b = split_number(first), split_number(last)
    if not a or not b or a[0] != b[0] or a[2] != b[2] or b[1] < a[1]:
        return [first, last]
    return [f'{a[0]}{n}{a[2]}' for n in range(a[1], b[1] + 1)]


def usable(key):
    return '%' not in key and not key.endswith('_') and key not in ('TOOLTIPS',)


class Extractor:
    def __init__(self):
        self.strong = {}      # key -> set of sections given by pairs or a section phrase
        self.weak = []        # (key, chapter) named without any section
        self.windows = []     # window sections of the language file's section table

    def add(self, section, key):
        if usable(key):
            self.strong.setdefault(key, set()).add(section)

    def line(self, text, chapter, context):
        taken = set()
        # Ranges first, so that their ends are not read as lone keys.
        for m in KEY_RANGE_PAIR.finditer(text):
            for key in expand(m.group(1), m.group(2)):
                self.add(m.group(3), key)
            taken.update({m.start(1), m.start(2)})
        phrases = [(m.start(), m.group(1) or m.group(2)) for m in SECTION_MENTION.finditer(text)]
        sections_at = list(phrases)
        for m in PAIR.finditer(text):
            if m.group(2):
                sections_at.append((m.start(), m.group(2)))
        sections_at.sort()

        # The nearest section named before the key on its line; else a 'section "X"' phrase
        # after it ("... of section X"); else the paragraph's section.
        def section_for(pos):
            before = [s for p, s in sections_at if p < pos]
            after = [s for p, s in phrases if p > pos]
            if before:
                return before[-1]
            if after:
                return after[0]
            return context[0]

        for m in PAIR_RANGE.finditer(text):
            section = m.group(2) or m.group(4) or section_for(m.start())
            if section:
                for key in expand(m.group(1), m.group(3)):
                    self.add(section, key)
            taken.update({m.start(1), m.start(3)})
        for m in PAIR.finditer(text):
            if m.start(1) in taken:
                continue
            section = m.group(2) or section_for(m.start())
            if section:
                self.add(section, m.group(1))
            taken.add(m.start(1))
        for m in KEY_RANGE.finditer(text):
            if m.start(1) in taken:
                continue
            first, last = m.group(1), m.group(2)
            keys = expand(first, last)
            for key in keys:
                self.place(key, section_for(m.start()), chapter)
            taken.update({m.start(1), m.start(2)})
        for m in TITLE_KEY.finditer(text):
            section = section_for(m.start()) or m.group(1)
            self.add(section, m.group(1))
            taken.add(m.start(1))
        for m in QUOTED_KEY.finditer(text):
            key = m.group(1)
            if m.start(1) in taken or key.startswith('IDD_') or key.startswith('KVL_VER2_'):
                continue
            if key == SIGNAL_PREFIX:
                for mode in range(1, 7):
                    for kind in ('I', 'O'):
                        for n in range(1, 17):
                            self.add(MONITOR, f'IDC_RADIO_M{mode}_{kind}_{n}')
                continue
            self.place(key, section_for(m.start()), chapter)
        if sections_at:
            context[0] = sections_at[-1][1]

    def place(self, key, section, chapter):
        if not usable(key):
            return
        if key.startswith('TOOLTIPS'):
            section = 'TOOLTIPS'
        if section:
            self.add(section, key)
        else:
            self.weak.append((key, chapter))

    def result(self):
        pairs = set()
        for key, sections in self.strong.items():
            pairs.update((s, key) for s in sections)
        for key, chapter in self.weak:
            if key in self.strong:
                continue
            section = PART_SECTION.get(chapter, 'Common' if key.startswith('IDS_') else None)
            if section is None:
                print(f'warning: no section for {key} (chapter {chapter})', file=sys.stderr)
                continue
            pairs.add((section, key))
        for section in self.windows:
            if section not in NO_TITLE:
                pairs.add((section, section))
        for section, key in list(pairs):
            if section == MONITOR:
                for model in MONITOR_MODELS:
                    pairs.add((f'{MONITOR}_{model}', key))
        # One section whatever the spelling: names ignore case.
        return sorted({('Common' if s == 'COMMON' else s, k) for s, k in pairs})


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    extractor = Extractor()
    chapter = (0, 0)
    context = [None]
    in_window_table = False
    with open(sys.argv[1], encoding='utf-8') as f:
        for raw in f:
            text = raw.rstrip('\n')
            m = PART.match(text)
            if m:
                chapter = (int(m.group(1)), int(m.group(2)))
                context[0] = None
                continue
            if not text.strip():
                context[0] = None
                continue
            if text.startswith('Sections that the windows use'):
                in_window_table = True
            elif in_window_table and text.startswith('Keys of the'):
                in_window_table = False
            if in_window_table and text.startswith('|'):
                first_cell = text.split('|')[1]
                extractor.windows += re.findall(r'"((?:IDD_|KVL_VER2_)[A-Za-z0-9_]+)"', first_cell)
                continue
            extractor.line(text, chapter, context)
    print('# (section, key) pairs the language files must hold; generated by')
    print('# scripts/extract_lang_keys.py from the design document. One pair per line: SECTION<TAB>KEY')
    for section, key in extractor.result():
        print(f'{section}\t{key}')


if __name__ == '__main__':
    main()
