#!/usr/bin/python3
"""Recorded games and the faint look in the page, in a real headless Chromium.

usage: games_test.py PAGE_FOLDER FENWATER_REPLAY SOURCE_ROOT

- A link made from a game recorded on the desktop (fenwater-replay --link) opens the
  page, plays the game after Play with the replay's sign, and ends it with the score the
  replay tool gives; the stored values stay as they were, byte for byte.
- A damaged link gives a message and play goes on.
- A game played in the page is kept as its last game: the menu watches it again, and a
  key stops it.
- "Show unlit segments" is stored, and the face then equals fenwater-replay --unlit.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_test import (RECTS, REPLAY, SOURCE, WORK, Server, browser, check, differing,  # noqa: E402
                          eventually, failures, load, play, press, replay_png, severe, storage,
                          wait_for)
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# How far the canvas lies from a picture (a data URL), at the most, in levels of a colour
# channel, and where.
MAXDIFF = """
const [url, done] = arguments;
const canvas = document.getElementById('handheld');
const image = new Image();
image.onload = () => {
    const c = document.createElement('canvas'); c.width = image.width; c.height = image.height;
    const g = c.getContext('2d'); g.drawImage(image, 0, 0);
    const a = g.getImageData(0, 0, c.width, c.height).data;
    const b = canvas.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let most = 0;
    let where = null;
    for (let i = 0; i < a.length; i += 4) {
        for (let k = 0; k < 3; ++k) {
            const d = Math.abs(a[i + k] - b[i + k]);
            if (d > most) [most, where] = [d, [(i / 4) % c.width, Math.floor(i / 4 / c.width)]];
        }
    }
    done([most, where]);
};
image.src = url;
"""
STORED = "return JSON.stringify(Object.entries(localStorage).sort())"


def desktop_game():
    """The game recorded on the desktop that the scenario tests keep, its link and its
    score, as the replay tool plays it."""
    with open(os.path.join(SOURCE, 'tests/tools/recorded_game.replay')) as f:
        lines = f.read().splitlines()
    recording = os.path.join(WORK, 'game.fenwater')
    with open(recording, 'w') as f:
        f.write('\n'.join(lines[:-1]) + '\n')  # without its dump line
    link = subprocess.run([REPLAY, '--link', recording], check=True, capture_output=True,
                          text=True).stdout.strip()
    dump = subprocess.run([REPLAY, os.path.join(SOURCE, 'tests/tools/recorded_game.replay')],
                          check=True, capture_output=True, text=True).stdout
    return link, int(dump.split(' Score=')[1].split()[0])


def menu_item(d, name):
    return d.find_element(By.CSS_SELECTOR, f'#menu [data-item="{name}"]')


def open_menu(d):
    canvas = d.find_element(By.ID, 'handheld')
    ActionChains(d).move_to_element_with_offset(canvas, -250, -150).context_click().perform()
    wait_for(d, "return !document.getElementById('menu').hidden", 'the menu')


def main():
    link, score = desktop_game()
    server = Server()
    d = browser('games')
    try:
        load(d, server.url)
        for name, value in (('hiscorea', '5'), ('soundmode', '2')):
            d.execute_script(f"localStorage.setItem('Fenwater\\\\\\\\{name}', '{value}')")
        before = d.execute_script(STORED)
        d.get(f'{server.url}?shared#game={link}')
        wait_for(d, 'return document.body.dataset.ready', 'the page')
        play(d)
        playing = wait_for(d, "return document.body.dataset.replay === 'playing'", 'the shared game')
        check('a shared link plays its game after Play, with the sign',
              playing and d.find_element(By.ID, 'replay-sign').is_displayed())
        over = wait_for(d, "return (document.body.dataset.replay || '').startsWith('over')", 'its end', 60)
        check('the shared game ends with the score fenwater-replay gives',
              over and d.execute_script('return document.body.dataset.replay') == f'over {score}',
              d.execute_script('return document.body.dataset.replay'))
        gone = wait_for(d, "return document.body.dataset.replay === ''", 'the replay to stop', 10)
        check('a moment after its end the replay stops by itself', gone)
        check('watching the shared game stored nothing', d.execute_script(STORED) == before,
              d.execute_script(STORED))

        d.get(f'{server.url}?damaged#game=AAAA')
        wait_for(d, 'return document.body.dataset.ready', 'the page')
        play(d)
        wait_for(d, "return !document.getElementById('message').hidden", 'the message box')
        box = d.find_element(By.ID, 'message').text
        check('a damaged link gives a message', 'This game cannot be played' in box, box)
        d.find_element(By.CSS_SELECTOR, '#message .ok').click()

        # A game played here, abandoned with ACL, is the last game: watched, then stopped.
        press(d, Keys.ARROW_LEFT)
        acl_left, acl_top, w, h = RECTS['Puls_ACL']
        canvas = d.find_element(By.ID, 'handheld')
        ActionChains(d).move_to_element_with_offset(
            canvas, acl_left + w // 2 - 326, acl_top + h // 2 - 221).click().perform()
        kept = eventually(lambda: d.execute_script("return localStorage.getItem('Fenwater\\\\last-game')"))
        check('a game played is kept as the last game', bool(kept))
        open_menu(d)
        check('the menu offers to watch and share it',
              menu_item(d, 'watch').is_displayed() and menu_item(d, 'share').is_displayed())
        menu_item(d, 'watch').click()
        watched = wait_for(d, "return document.body.dataset.replay !== ''", 'the last game')
        press(d, Keys.ARROW_RIGHT)
        check('the last game is watched, and a key stops it', watched and
              eventually(lambda: d.execute_script("return document.body.dataset.replay === ''")))

        # The faint look, stored, and equal to the replay tool's.
        open_menu(d)
        menu_item(d, 'unlit').click()
        check('the faint look is stored',
              eventually(lambda: storage(d, 'UnlitSegments') == '1'))
        unlit = replay_png('0 dump', 1, ('--unlit',))
        # The shadows are blended by the browser's arithmetic: within one level of the
        # desktop's, and where they lie.
        most, where = d.execute_async_script(MAXDIFF, unlit)
        check('with unlit segments the power-on face equals the render with --unlit, to a level',
              most <= 1, f'{most} levels apart at {where}')
        check('... and shows the shadows', differing(d, replay_png('0 dump')) > 1000)
        check('no console errors', not severe(d), severe(d))
    finally:
        d.quit()
        server.stop()
    print(f'{len(failures)} failed' if failures else 'all passed')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
