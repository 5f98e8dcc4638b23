#!/usr/bin/env python3
"""Plants one small fault at a time in the program and tells whether the tests notice.

    tools/plant-faults.py BUILD_DIR [--only N ...] [--check] [--all-failures] [--record FILE]

Each fault is one line of logic made wrong: a flipped comparison, an off-by-one, a
dropped negation, swapped fields, a wrong constant. A fault names its file by base name
only (it is looked for under src/ and tools/, so it survives files moving between
folders) and gives an exact piece of text and what replaces it. The script writes the
fault into the file, rebuilds BUILD_DIR incrementally, runs the suite and puts the file
back as it was, whatever happens. The outcome of each fault is one of:

    caught      a test failed
    MISSED      every test passed
    no build    the fault does not compile (a fault to fix, not a finding)
    n/a         the file or the text is not there (or not only once)

The slow "process" tests (the real program killed while it saves) are left out: they
take minutes per fault and look only at what a killed save leaves on disk.
--check only tells whether every fault still applies, without building.
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# (file base name, text to find, replacement, what the fault breaks)
FAULTS = [
    ("RememberedNumbers.cpp", "        if (!startSaving())\n            stepDone();",
     "        startSaving();\n        stepDone();",
     "a long save lets the next step change the rows while it still reads them"),
    # A long list sorted on its thread.
    ("RememberedNumbers.cpp", "                sorted->rows->reorder(sorted->order);", "                ;",
     "the rows put in order on the thread are taken unsorted"),
    # Changes put into the journal ahead of their turn.
    ("RememberedNumbers.cpp", "    if (!m_running || !m_journal || !m_list->isLoaded())",
     "    if (true || !m_running || !m_journal || !m_list->isLoaded())",
     "a store behind a sort waits for the sort to be on the disk"),
    ("RememberedNumbers.cpp", "        case Step::Load:\n        case Step::Import:",
     "        case Step::Load:\n            break;\n        case Step::Import:\n            return false;",
     "a store is written ahead of an import queued before it"),
    ("RememberedNumbers.cpp", "    if (journaled)\n        m_journal->counted(1);",
     "    if (journaled)\n        ;",
     "a change written ahead is never counted as held, and a save keeps it in the journal"),
    # The Open dialog and the files still being written.
    ("FileDialog.cpp", "        if (onItsWay) {", "        if (!onItsWay) {",
     "a file still being written is refused by the Open dialog"),
    ("ReviewWindow.cpp", 'tr("txt (*.txt)"), m_writing);', 'tr("txt (*.txt)"));',
     "the import dialog is not told of a file an export still writes"),
    # The phonetic code.
    ("CodedWord.cpp", "if (previous == u'k' && current != u'n')",
     "if (previous == u'k' && current == u'n')", "k before n no longer silent"),
    ("CodedWord.cpp", "return u'4';", "return u'5';", "r gives the digit of l"),
    ("CodedWord.cpp", "if (previous == u'k')\n", "if (previous == u'c')\n", "a final k is lost"),
    # Windows-1252 text and the quoted line files.
    ("Cp1252.cpp", "if (b >= 0x80 && b < 0xA0)", "if (b > 0x80 && b < 0xA0)",
     "byte 80 is not the euro sign"),
    ("Cp1252.cpp", "(u >= 0xA0 && u <= 0xFF)", "(u >= 0xA0 && u < 0xFF)", "y with diaeresis unwritable"),
    ("QuotedLineFile.cpp", "if (lineEnd + 1 < end && lineEnd[0] == '\\r'",
     "if (lineEnd + 2 < end && lineEnd[0] == '\\r'", "CR LF at the very end read as two ends"),
    ("QuotedLineFile.cpp", "if (lineEnd > line || emptyLines == EmptyLines::Keep)",
     "if (lineEnd > line || emptyLines == EmptyLines::Skip)", "empty lines kept when they should go"),
    ("QuotedLineFile.cpp", "return !field.contains(u'\"') && !field.contains(u'\\r') &&",
     "return !field.contains(u'\"') &&", "a CR may be written into a line"),
    ("WordCollection.cpp", "if (position < 1 || position > count())\n        return {};",
     "if (position < 1 || position >= count())\n        return {};", "last item unreachable"),
    ("WordCollection.cpp", "if (!key.isEmpty() && m_byKey.contains(key))",
     "if (!key.isEmpty() && !m_byKey.contains(key))", "duplicate keys accepted, new ones refused"),
    # The dictionary.
    ("Dictionary.cpp", "static constexpr int firstSlot[] = {0, 0, 10, 110};",
     "static constexpr int firstSlot[] = {0, 0, 10, 100};", "three-digit slots overlap two-digit ones"),
    ("Dictionary.cpp", "PlainNumber::read(groupKey, 3)", "PlainNumber::read(groupKey, 2)",
     "three-digit groups have no slot"),
    ("Dictionary.cpp", "m_wordFile.seek(position - 1);", "m_wordFile.seek(position);",
     "blocks read one byte late"),
    ("Dictionary.cpp", "return key.left(3).toString();", "return key.left(2).toString();",
     "group key too short"),
    ("Dictionary.cpp", "if (inGroup && key == previousKey)", "if (inGroup && key != previousKey)",
     "index built from the wrong records"),
    # The settings.
    ("registry_unix.cpp", "if (!value || value->size() > maxValueLength)",
     "if (!value || value->size() >= maxValueLength)", "longest value refused"),
    ("registry_unix.cpp", "lineName->compare(name, Qt::CaseInsensitive) == 0",
     "lineName->compare(name, Qt::CaseSensitive) == 0", "names become case sensitive"),
    ("registry_unix.cpp", "for (qsizetype i = lines.size() - 1; i >= 0; --i) {",
     "for (qsizetype i = lines.size() - 1; i > 0; --i) {", "first line of the file never found"),
    ("registry_unix.cpp", "part == u\".\" || part == u\"..\" ||", "part == u\".\" ||",
     "a key path may climb out of the settings folder"),
    # The remembered numbers.
    ("PackedEntries.cpp",
     "const QString field = entry.Value + u':' + entry.Description + u':' + entry.Words;",
     "const QString field = entry.Value + u':' + entry.Words + u':' + entry.Description;",
     "description and words swapped in rv.db"),
    ("PackedEntries.cpp", "while (texts.words.startsWith(' '))", "while (texts.words.startsWith('\\t'))",
     "leading blanks of the words kept"),
    ("RememberedFile.cpp", "{workingCopyPath(dataDir), filePath(dataDir)}",
     "{filePath(dataDir), workingCopyPath(dataDir)}", "rv.db written before its copy"),
    ("RowOrder.cpp", "return compared != 0 ? compared < 0 : a.arrival < b.arrival;",
     "return compared != 0 ? compared < 0 : a.arrival > b.arrival;", "equal keys in reverse order"),
    ("RememberedList.cpp", "if (!m_changed)\n        return true;", "if (m_changed)\n        return true;",
     "changes never saved"),
    ("RememberedList.cpp", "m_blankedEntries > 0 ||", "m_blankedEntries > 1 ||",
     "one blanked entry not written back"),
    ("RowOrder.cpp", ": column == 2 ? PackedEntries::wordsRead(entry.Words)",
     ": column == 2 ? QStringView(entry.Description)",
     "the Words column sorts by description"),
    ("ListFilePolicy.cpp", "source.recount = !m_usageFromFile;", "source.recount = false;",
     "counts not rebuilt when the window is loaded again"),
    ("RowOrder.cpp", "std::sort(order.begin() + sorted, order.end(), lessThan);",
     "std::reverse(order.begin() + sorted, order.end());", "imported rows merged in unsorted"),
    ("WordUsage.cpp", "add(QChar::toCaseFolded(char32_t(c.unicode())));", "add(c.unicode());",
     "usage counts looked up with letter case"),
    ("TransferFile.cpp", "for (; next + 3 <= fields.size(); next += 3) {",
     "for (; next + 3 < fields.size(); next += 3) {", "last imported entry lost"),
    ("TransferFile.cpp", "out = putLine(out, description.isEmpty() ? empty : description);",
     "out = putLine(out, !description.isEmpty() ? empty : description);",
     "export writes the placeholder for every description"),
    ("TransferFile.cpp", "if (value.contains(':') || description.contains(':')) {",
     "if (value.contains(':')) {", "an import may bring a colon into a description"),
    ("FlashCardFile.cpp", "case u'\\t':", "case u'\\a':", "a tab splits a flash card"),
    ("ReviewWindow.cpp", "list->findDescription(m_searchText, m_lastFound + 1, rows);",
     "list->findDescription(m_searchText, m_lastFound + 1, rows - 1);", "search skips the last row"),
    ("ReviewWindow.cpp", "position = std::max(position, index.row() + 1);",
     "position = std::max(position, index.row());", "Forget deletes the row above"),
    ("ReviewWindow.cpp", "m_searchText += shift ? letter : letter.toLower();",
     "m_searchText += shift ? letter.toLower() : letter;", "typed search letters in the wrong case"),
    # Practice.
    ("Quiz.cpp", "if (typed.size() < answer.size()) {", "if (typed.size() <= answer.size()) {",
     "a complete answer is judged as a prefix"),
    ("Quiz.cpp", "if (remaining < 1) {", "if (remaining < 0) {", "the game ends a second late"),
    ("Quiz.cpp", "if (score <= 3)", "if (score < 3)", "wrong message for a score of 3"),
    ("Quiz.cpp", "if (shownParts >= 3 || parts.size() <= shownParts)",
     "if (shownParts >= 4 || parts.size() <= shownParts)", "the hint gives away a fourth word"),
    ("WordTables.cpp", "const bool left = *number <= split;", "const bool left = *number < split;",
     "peg word in the wrong half of the table"),
    ("WordTables.cpp", "QString::number(half + i), QString()});",
     "QString::number(half + i + 1), QString()});", "right-hand numbers off by one"),
    # The workspace.
    ("Candidates.cpp", "{ return a.countText < b.countText; }", "{ return b.countText < a.countText; }",
     "candidates ranked upside down"),
    ("Candidates.cpp", "for (int i = words.count(); i >= 1; --i) {",
     "for (int i = words.count(); i > 1; --i) {", "the least used candidate is dropped"),
    ("MemoryChain.cpp", "words += u' ' + link.word;", "words += link.word + u' ';",
     "the chain's words lose their leading blank"),
    ("ChainSearch.cpp", "return a.count > b.count;", "return a.count < b.count;",
     "a tie goes to the less used word"),
    ("ChainSearch.cpp", "row.rank = WordRanks::Used;", "row.rank = WordRanks::Other;",
     "a word already used costs as much as any other"),
    ("ChainSearch.h", "rankCost[] = {0, 2, 8, 30, 40, 10000};",
     "rankCost[] = {0, 30, 8, 30, 40, 10000};", "a picture costs as much as an abstract word"),
    ("ChainSearch.h", "wordCost = 10;", "wordCost = 100;", "fewest words before pictures"),
    ("WordRanks.cpp", "if (!ok || count != lineNumber - 2)", "if (!ok || count < 0)",
     "a ranks file cut off between lines is taken for whole"),
    ("ChainSearch.cpp", "if (k >= 3 && !groupBlock.contains(u'\"' + part))",
     "if (k >= 2 && !groupBlock.contains(u'\"' + part))", "search stops too early"),
    ("DescriptionValidator.cpp", "return !text.contains(u':') && QuotedLineFile::canWrite(text);",
     "return QuotedLineFile::canWrite(text);", "a colon may be typed into a description"),
    ("DescriptionValidator.cpp", "if (i < pos)", "if (i <= pos)", "cursor lands one place late"),
    ("MainWindow.cpp", "->text(ValueColumn) > number)", "->text(ValueColumn) >= number)",
     "Backspace drops the candidates of the whole number"),
    ("MainWindow.cpp", "m_number->text().isEmpty() && m_chain->rowCount() > 0);",
     "m_number->text().isEmpty() && m_chain->rowCount() >= 0);", "Store enabled with an empty chain"),
    ("MainWindow.cpp", "m_chain->rowCount() : selected.first().row() + 1;",
     "m_chain->rowCount() : selected.first().row() + 2;", "<< leaves the selected word in the chain"),
    ("MainWindow.cpp", "m_removeButton->setEnabled(selected.isEmpty() && m_chain->rowCount() > 0);",
     "m_removeButton->setEnabled(false);", "<< takes back only one link of a suggestion"),
    ("MainWindow.cpp", "m_suggestedShown = (m_suggestedShown + 1) % m_suggested.size();",
     "m_suggestedShown = std::min(m_suggestedShown + 1, m_suggested.size() - 1);",
     "after the fifth chain Suggest Words stays on it"),
    ("MainWindow.cpp", "while (m_chain->rowCount() > m_rowsBeforeSuggestion) {",
     "while (m_chain->rowCount() > 0) {", "another chain drops the words chosen before"),
    ("MainWindow.cpp", "if (c >= u'0' && c <= u'9')\n            digits += c;",
     "if (c >= u'0' && c < u'9')\n            digits += c;", "the digit 9 is refused"),
    ("WindowSize.cpp", "size.boundedTo(screen->availableSize());",
     "size.boundedTo(screen->availableSize() * 2);",
     "a stored size larger than the screen is used"),
    ("MainWindow.cpp", "        list->resizeColumnToContents(column);\n", "",
     "long words scroll sideways in the main window at its designed size"),
    ("MainWindow.cpp", "const int high = m_expandedSize.isValid() ? m_expandedSize.height() : 0;",
     "const int high = 0;", "the main window forgets the height it was given"),
    ("ReviewWindow.cpp", "QStringLiteral(\"0000000000000000\")", "QStringLiteral(\"0000000000\")",
     "a 16-digit number is cut off in the review window"),
    ("WindowSize.cpp", "PlainNumber::read(QStringView(text).first(x), 5)",
     "PlainNumber::read(QStringView(text).first(x), 4)", "wide stored sizes refused"),
    ("TextFit.cpp", "return needed.width() <= room.width() && needed.height() <= room.height();",
     "return needed.width() <= room.width() + 40 && needed.height() <= room.height();",
     "clipped text goes unnoticed"),
    # The user's data folder and the command line.
    ("Installation.cpp", "return own.isEmpty() ? dictionaryFolder() : QDir::fromNativeSeparators(own);",
     "return dictionaryFolder();", "the datadir setting is ignored"),
    ("Installation.cpp", "(perUser || !QFileInfo(installed.path()).isWritable())",
     "(perUser && !QFileInfo(installed.path()).isWritable())",
     "a package keeps the list in the installation's folder"),
    ("Installation.cpp", "info.isDir() ? info.isWritable() : QDir().mkpath(folder);",
     "info.isDir() && info.isWritable();", "a data folder the user removed is not made again"),
    ("CommandLine.cpp", "            << \"Try '\" << m_program << \" --help' for more information.\\n\";\n        return 2;",
     "            << \"Try '\" << m_program << \" --help' for more information.\\n\";\n        return 1;",
     "an unknown option ends with the status of a failure"),
    ("Installation.cpp", "QStringLiteral(\"/\" NUMBRILL_BIN_TO_SHARE)",
     "QStringLiteral(\"/bin/\" NUMBRILL_BIN_TO_SHARE)",
     "numbrill-register looks for its installation one folder too deep"),
    # Start and end.
    ("Program.cpp", "if (!lock->tryLock() && lock->error() == QLockFile::LockFailedError)",
     "if (lock->tryLock() && lock->error() == QLockFile::LockFailedError)",
     "a second copy may run on the same list"),
    ("Program.cpp", "return unsaved && result == 0 ? 1 : result;",
     "return unsaved && result != 0 ? 1 : result;",
     "lost changes reported as success"),
    # The queue of work on the list: every step and wait of it.
    ("RememberedNumbers.cpp", "while (!m_running && !m_steps.isEmpty()) {",
     "while (!m_steps.isEmpty()) {", "a step starts while another still runs"),
    ("RememberedNumbers.cpp", "            m_job->finish();\n", "            return;\n",
     "drain does not wait for a step running on its thread"),
    ("RememberedNumbers.cpp", "    m_sortWanted = column;\n    // A sort still waiting",
     "    // A sort still waiting", "a column chosen is never sorted by"),
    ("RememberedNumbers.cpp", "if (!m_steps.isEmpty() && m_steps.last().kind == Step::Save)",
     "if (!m_steps.isEmpty())", "a change made while other work waits is not saved"),
    ("RememberedNumbers.cpp", "    load();\n    const bool journaled = journalAhead(true, entry);",
     "    const bool journaled = journalAhead(true, entry);",
     "a number stored on an unloaded list does not wait for it"),
    ("RememberedNumbers.cpp",
     "    enqueue(Step::Export, [this, path] { beginWrite(path, false); });",
     "    beginWrite(path, false);", "an export does not wait for its turn"),
    ("RememberedNumbers.cpp", "const quint32 tag = m_list->rows().tag(position - 1);",
     "const quint32 tag = quint32(position - 1);", "forget takes the row, not the entry on show"),
    ("RememberedNumbers.cpp", "            m_list->m_sortColumn = column;\n", "",
     "a sort on a thread leaves the column it sorted by unknown"),
    ("RememberedNumbers.cpp", "    drain();\n    if (m_list->isLoaded() && !m_discarded)",
     "    if (m_list->isLoaded() && !m_discarded)", "the list ends without finishing its queue"),
    ("RememberedList.cpp", "    if (!saved) {\n        m_lastError = error;",
     "    if (!saved && false) {\n        m_lastError = error;", "a save that failed leaves the list saved"),
    ("RememberedNumbers.cpp", "    else\n        journal({{stored, entry}});",
     "    else if (false)\n        journal({{stored, entry}});",
     "a stored or forgotten number is not in the journal"),
    ("RememberedNumbers.cpp", "            if (m_list->removeEntry(at))\n                journalInTurn(journaled, false, entry);",
     "            m_list->removeEntry(at);", "a forgotten number is not in the journal"),
    ("ListFilePolicy.cpp",
     "    if (loaded->file.status != RememberedFile::LoadStatus::Unreadable)\n        replay(loaded, source.journal);\n",
     "", "a load ignores the journal"),
    ("RememberedNumbers.cpp", "    if (m_saveJob->isRunning()) {\n        whenSaved([this] { beginUnload(); });",
     "    if (false) {\n        whenSaved([this] { beginUnload(); });", "the rows go while their save runs"),
    ("RememberedNumbers.cpp", "copy->journalMark = m_journal ? m_journal->mark() : 0;",
     "copy->journalMark = 0;", "a save folds no change of the journal"),
    ("BackgroundJob.cpp", "if (!m_overtaken->load() && done)", "if (done)",
     "the result of an overtaken job is put in place"),
    ("BackgroundJob.cpp", "        m_overtaken->store(true);\n        return;", "        return;",
     "a running job is not told that a later request overtook it"),
    # Large pages for the blocks of others.
    ("largepages_unix.cpp", "inode == 0 && !named", "inode != 0 && !named",
     "the blocks that belong to no file are passed over"),
    ("largepages_unix.cpp", "end - start >= atLeast &&", "end - start >= atLeast / 64 &&",
     "small blocks are given large pages too"),
    # The leftovers of a killed write.
    ("QuotedLineFile.cpp", "entry.size() == name.size() + 7", "entry.size() >= name.size() + 7",
     "the user's files that merely begin like a leftover are removed"),
    # The session bus connected first thing.
    ("sessionbus_unix.cpp", "    qunsetenv(addressVariable);\n", "",
     "programs started later inherit a made-up bus address"),
    ("sessionbus_unix.cpp", "if (busWithinReach())", "if (busWithinReach() || true)",
     "without a bus the library still forks to look for dbus-launch"),
    # Remembered window sizes, read by hand.
    ("PlainNumber.h", "if (c < u'0' || c > u'9')", "if (c < u'0')",
     "a remembered size in other digits is taken as a size"),
    # The plots of the statistics windows.
    ("Plot.cpp", "const qreal base = stacked ? stackedTo.value(point.x()) : 0;",
     "const qreal base = 0;", "stacked bars are drawn over one another"),
    ("Plot.cpp", "step = factors[i % 3] * std::pow(10.0, i / 3);",
     "step = factors[i % 3] * std::pow(10.0, i / 3 + 1);", "the count axis steps too far"),
    # Pictures read when first shown.
    ("Pictures.cpp", "        if (!base)\n            return QIcon();", "        return QIcon();",
     "a toolbar that overflows shows a blank button"),
    ("Program.cpp", "        QApplication::setWindowIcon(", "        (void)(",
     "the main window has no icon"),
    ("BackgroundJob.cpp", "            ThreadPriority::lowerCurrent();\n", "",
     "background work takes the processor from the window as often as the window does"),
    ("BackgroundJob.cpp", "if (m_next && !m_thread)", "if (m_next && m_thread)",
     "a job asked for while another ran never starts"),
    ("QuizDialog.cpp", "    m_quiz->load(RememberedNumbers::instance()->entryCount());\n", "",
     "the quiz ignores the list that arrives after it opened"),
    ("WordTablesWindow.cpp", "if (column != m_sortColumn || *order != m_sortOrder)",
     "if (false)", "a click while the most-used table is made is lost"),
    # The append-only files: the recall and drill histories and the journal.
    ("AppendOnlyFile.cpp", "if (!ended && file->write(", "if (!ended && false && file->write(",
     "a line left without its end swallows the next append"),
    ("AppendOnlyFile.cpp", "const bool torn = whole < bytes.size();", "const bool torn = false;",
     "a torn last line is not cut off at load"),
    # The journal of changes to the remembered numbers.
    ("RememberedJournal.cpp", "const qsizetype counting = count ? lines.count : 0;",
     "const qsizetype counting = lines.count;", "an import's changes counted before its rows are in place"),
    ('RememberedJournal.cpp', '*records = parsed.records.sliced(parsed.folds.at(i).count);',
     '*records = parsed.records;', 'a replaced list file gets every change again'),
    ('RememberedJournal.cpp', 'AppendOnlyFile::cutTo(m_path, parsed.wholeLength)',
     'AppendOnlyFile::cutTo(m_path, bytes.size())', 'a torn append is not cut off'),
    ('RememberedJournal.cpp', 'const Lines rest = linesOf(parsed.records.sliced(mark));',
     'const Lines rest = linesOf(parsed.records);', 'compacting keeps what the list file holds'),
    ('RememberedJournal.cpp', '    return appendBytes(foldLine({mark, saved}), error);',
     '    return true;', 'no fold noted before the list file is replaced'),
    ('RememberedJournal.cpp', 'if (parsed.hasHeader && parsed.base == listFile) {',
     'if (parsed.hasHeader) {', 'a journal applied to a list it does not belong to'),
    ('RememberedJournal.cpp', '            parsed.badLine = lineNumber;\n            break;',
     '            continue;', 'damaged lines skipped silently'),
    # Spaced recall.
    ("RecallLog.cpp", "history.badLines.append(into.lines + line);",
     "history.badLines.append(line);", "unreadable lines of a later piece numbered from its start"),
    ("RecallLog.cpp", "        record.key = ids.at(record.key);\n", "",
     "answers of a later piece given to the wrong numbers"),
    ("RecallLog.cpp", "        history.wholeLength = offset + later.wholeLength;",
     "        history.wholeLength = later.wholeLength;", "a torn line looked for in the wrong place"),
    ("RecallHistory.cpp", "            if (record.key >= first && record.key < end)",
     "            if (record.key >= first && record.key <= end)", "a number replayed by two threads"),
    ("Fsrs.cpp", "const double delta = -m_w[6] * (g(grade) - 3);",
     "const double delta = -m_w[6] * (g(grade) - 2);", "difficulty moves for a Good answer"),
    ("Fsrs.cpp", "m_forgetCap = std::exp(m_w[17] * m_w[18]);",
     "m_forgetCap = std::exp(m_w[17] + m_w[18]);", "a lapse keeps too little stability"),
    ("Fsrs.cpp", "interval = steps[next.step];", "interval = steps[0];",
     "the second learning step as short as the first"),
    ("Fsrs.cpp", "const double hardPenalty = grade == Grade::Hard ? m_w[15] : 1;",
     "const double hardPenalty = grade == Grade::Hard ? m_w[16] : 1;", "Hard grows like Easy"),
    ("RecallLog.cpp", "history.wholeLength = next;", "history.wholeLength = end;",
     "the repair of a torn line cuts the last line end"),
    ("RecallLog.cpp", "history.badLines.append(piece.lines);",
     "history.badLines.append(piece.lines - 1);", "unreadable lines reported one line early"),
    ("RecallLog.cpp", "h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59)",
     "h > 23 || mi < 0 || mi > 59 || s > 59)", "a blank among the seconds reads as a time"),
    ("RecallLog.cpp", "y < 1970 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, unsigned(mo))",
     "y < 1970 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, unsigned(mo)) + 1",
     "31 April reads as a time"),
    ("RecallTrial.cpp", "at += length;", "at += length - 1;", "the wrong memory word marked"),
    ("RecallTrial.cpp", "return Fsrs::Grade::Hard;", "return Fsrs::Grade::Good;",
     "an answer after the hint graded Good"),
    ("RecallHistory.cpp", "return due + fresh;", "return fresh + due;",
     "new numbers asked before overdue ones"),
    ("RecallHistory.cpp", "        if (mapped.itemOf.find(key, hash, itemKey) >= 0)",
     "        if (mapped.itemOf.find(key, hash, itemKey) > 0)",
     "the first number of the list stored twice is recalled twice"),
    ("RecallHub.cpp", "            QTimer::singleShot(0, this, &FirstPaintWatch::start);", "            ;",
     "the history is read only a second after the first window is drawn"),
    ("RecallHistory.cpp", "    startPendingLoad();\n    // The end of a load", "    // The end of a load",
     "waiting for the history does not start a reading put off until the first paint"),
    ("RecallHistory.cpp", "        m_keyIds.insert(m_states.last().keyHash, added.key);",
     "        ;", "a number answered for the first time is not found again"),
    ("RecallKeyIndex.h", "            i = (i + 1) & mask;\n        m_slots", "            i = (i + 2) & mask;\n        m_slots",
     "a key placed where lookups do not probe"),
    ("RecallHistory.cpp",
     "if (record.grade == Fsrs::Grade::Again && state.memory.phase == Fsrs::Phase::Review)",
     "if (record.grade == Fsrs::Grade::Again && state.memory.phase == Fsrs::Phase::Learning)",
     "lapses counted in learning"),
    ("RecallWindow.cpp", "chooseGrade(allGrades[i]);", "chooseGrade(allGrades[3 - i]);",
     "keys 1 to 4 choose the grades backwards"),
    ("RecallStatistics.cpp", "std::min(dayOf(answered, utcOffset) - 1, today - 1);",
     "std::min(dayOf(answered, utcOffset), today - 1);", "a number answered on time breaks the streak"),
    ("RecallStatistics.cpp", "if (memory.phase == Fsrs::Phase::Review) {",
     "if (memory.phase != Fsrs::Phase::Review) {", "true retention counts answers in learning"),
    # The user's images and the chains made of them.
    ("ImageList.cpp", "key.size() == 2 ? 10 + number : 110 + number;",
     "key.size() == 2 ? 10 + number : 100 + number;", "three-digit keys overlap two-digit ones"),
    ("ImageList.cpp", "if (slot <= previousSlot) {", "if (slot < previousSlot) {",
     "a repeated key is read twice"),
    ("ImageList.cpp", "count.toInt() != imageLines)", "count.toInt() > imageLines)",
     "an end count too low passes"),
    ("ImageList.cpp", "if (!quoted || field != header) {", "if (!quoted) {",
     "another file is read as images and saved over"),
    ("ImageList.cpp", "return QuotedLineFile::canWrite(word);", "return Cp1252::canEncode(word);",
     "a quote may be written into images.db"),
    ("ImageChoices.cpp", "return a.count > b.count;", "return a.count < b.count;",
     "the least used of the user's words first"),
    ("ImageChains.cpp", "style == Style::TwoDigitImages ? 2 : 3;",
     "style == Style::TwoDigitImages ? 3 : 2;", "chunks of the other style"),
    ("ImageChains.cpp", "if (covered < chunk.size())", "if (covered < 0)",
     "a chain goes on past digits no word covers"),
    ("ImageTableModel.cpp", "&& coded.value() != key;", "&& coded.value().size() != key.size();",
     "a word of other digits of the same length goes unmarked"),
    ("ImageTableModel.cpp", "const QString word = value.toString().trimmed();",
     "const QString word = value.toString();", "blanks around a typed word are kept"),
    ("MyImagesWindow.cpp", "m_saveBlocked = true;", "m_saveBlocked = false;",
     "a file that could not be read is saved over"),
    # Drills.
    ("SpeedNumbers.cpp", "outcome.score += full ? digits / 2 : (digits + 1) / 2;",
     "outcome.score += full ? digits / 2 : digits / 2;", "a last row with one mistake rounds down"),
    ("SpeedNumbers.cpp", "const qsizetype end = std::min(rowEnd, last + 1);",
     "const qsizetype end = rowEnd;", "the last row's cells after the last digit count as mistakes"),
    ("SpeedNumbers.cpp", "else if (mistakes == 1)", "else if (mistakes <= 2)",
     "a row with two mistakes scores half"),
    ("DrillLog.cpp", "a < 1 || d > e)", "a < 1)", "a score above the digits shown is read"),
    ("DrillLog.cpp", "parsed.wholeLength = next;", "parsed.wholeLength = end;",
     "the repair of a torn drill line cuts the last line end"),
    ("DrillHistory.cpp", "if (milliseconds <= easyWithin)", "if (milliseconds <= goodWithin)",
     "a slower answer graded Easy"),
    ("DrillHistory.cpp", "return ordered + fresh;", "return fresh + ordered;",
     "new image keys asked before overdue ones"),
    ("DrillStatistics.cpp", "return figures.misses() > 0;", "return figures.misses() >= 0;",
     "keys never missed listed as most missed"),
    ("DrillStatistics.cpp", "earlier.rowLength == attempt.rowLength &&\n            earlier.allowed == attempt.allowed)",
     "earlier.rowLength == attempt.rowLength)", "personal bests mix memorising times"),
    ("FlashDrillWindow.cpp", "} while (m_keys.size() > 1 && key == m_key);", "} while (false);",
     "Flash shows the same number twice in a row"),
    ("RememberedList.cpp", "row < 0 || row >= m_rows.size() ||", "row < 0 || row > m_rows.size() ||",
     "the list model answers an index for a row past its end"),
    ("RememberedList.cpp", "    if (!index.isValid())\n        return Qt::NoItemFlags;", "    if (!index.isValid() && false)\n        return Qt::NoItemFlags;",
     "the list model gives flags to an invalid index"),
    ("MessageBox.cpp", "    if (Windows::userGone())\n        return;\n", "",
     "a note at start-up waits for a user who has logged out"),
    ("shutdownsignals_unix.cpp", "        s_notifier->setEnabled(true);\n", "",
     "a second start in one process no longer ends when told to"),
]


def locate(name):
    found = [p for top in ("src", "tools") for p in (ROOT / top).rglob(name) if p.is_file()]
    return found[0] if len(found) == 1 else None


def run(command, timeout=None):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, timeout=timeout)


def build(build_dir, jobs):
    return run(["cmake", "--build", str(build_dir), "--parallel", str(jobs)]).returncode == 0


def failed_tests(output):
    names = re.findall(r"^\s*\d+ - (\S+) \(", output, re.MULTILINE)
    return sorted(set(names))


def try_fault(number, fault, args):
    name, old, new, _ = fault
    path = locate(name)
    if path is None:
        return "n/a", "file not found (or more than one)"
    original = path.read_bytes()
    text = original.decode("utf-8")
    if text.count(old) != 1:
        return "n/a", "text found %d times" % text.count(old)
    if args.check:
        return "applies", str(path.relative_to(ROOT))
    try:
        path.write_bytes(text.replace(old, new).encode("utf-8"))
        if not build(args.build_dir, args.jobs):
            return "no build", ""
        started = time.monotonic()
        result = run(["ctest", "--test-dir", str(args.build_dir), "-LE", "process",
                      "--timeout", str(args.timeout), "-j", str(args.jobs)]
                     + ([] if args.all_failures else ["--stop-on-failure"]))
        seconds = time.monotonic() - started
        if result.returncode == 0:
            return "MISSED", "%.0f s" % seconds
        return "caught", " ".join(failed_tests(result.stdout)) or "ctest failed"
    finally:
        path.write_bytes(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path)
    parser.add_argument("--only", type=int, action="append", metavar="N",
                        help="plant only fault N (may be given more than once)")
    parser.add_argument("--check", action="store_true",
                        help="only tell whether each fault still applies")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test")
    parser.add_argument("--all-failures", action="store_true",
                        help="run the whole suite for each fault and name every test that fails")
    parser.add_argument("--record", type=Path, help="also write the table to this file")
    args = parser.parse_args()
    args.build_dir = args.build_dir.resolve()

    # A stop request must still put the planted file back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))

    numbers = args.only or range(1, len(FAULTS) + 1)
    rows = []
    try:
        for number in numbers:
            fault = FAULTS[number - 1]
            outcome, detail = try_fault(number, fault, args)
            row = "%3d  %-24s %-9s %-48s %s" % (number, fault[0], outcome, fault[3], detail)
            print(row, flush=True)
            rows.append((outcome, row))
    finally:
        if not args.check:
            build(args.build_dir, args.jobs)

    counts = {}
    for outcome, _ in rows:
        counts[outcome] = counts.get(outcome, 0) + 1
    summary = ", ".join("%d %s" % (n, outcome) for outcome, n in sorted(counts.items()))
    print(summary)
    if args.record:
        args.record.write_text("\n".join(row for _, row in rows) + "\n" + summary + "\n")
    return 1 if counts.get("no build") or counts.get("n/a") else 0


if __name__ == "__main__":
    sys.exit(main())
