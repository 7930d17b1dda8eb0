# Prints what a screen reader finds in the Launcher's windows, one item per line:
# "row: CELL|CELL|…" for each row of the library table, "field: NAME = TEXT" for each named
# text field, "label: TEXT" for each label, "control: ROLE|NAME|DESCRIPTION" for each push
# button and progress bar.
import pyatspi


def walk(acc, depth=0):
    if acc is None or depth > 30:
        return
    yield acc
    for i in range(acc.childCount):
        yield from walk(acc.getChildAtIndex(i), depth + 1)


desktop = pyatspi.Registry.getDesktop(0)
for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
    if not app or 'tolvane' not in (app.name or ''):
        continue
    for acc in walk(app):
        role = acc.getRole()
        if acc.name == 'ROM library' and role == pyatspi.ROLE_TABLE:
            t = acc.queryTable()
            for r in range(t.nRows):
                print('row:', '|'.join(t.getAccessibleAt(r, c).name for c in range(t.nColumns)))
        elif role == pyatspi.ROLE_TEXT and acc.name:
            text = acc.queryText()
            print('field:', acc.name, '=', text.getText(0, text.characterCount))
        elif role == pyatspi.ROLE_LABEL:
            print('label:', acc.name.replace('\n', ' '))
        elif role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PROGRESS_BAR):
            print('control: %s|%s|%s' % (acc.getRoleName(), acc.name, acc.description))
