#!/usr/bin/python3
"""The page on an emulated phone in headless Chromium: touch, device pixel ratio 3, held
sideways and upright, through the DevTools protocol. Served from 127.0.0.1.

usage: phone_test.py PAGE_FOLDER FENWATER_REPLAY SOURCE_ROOT [SCREENSHOT_FOLDER]

With SCREENSHOT_FOLDER, the phone's screen is kept there in both orientations.
"""
import base64
import os
import shutil
import sys
import time

import browser_test as page
from browser_test import DIGITS, RECTS, check, differing, eventually, load, region, replay_png, wait_for
from selenium.webdriver.common.by import By

SHOTS = sys.argv[4] if len(sys.argv) > 4 else None
SIDEWAYS = (844, 390)
UPRIGHT = (390, 844)
POWER_ON = '0 dump'
GAME_A_START = '0 key down 37\n0 key up 37\n300 dump'
TIME_HELD = '0 mouse down Puls_Time left 11 11'
ACL_HELD = '0 mouse down Puls_ACL left 6 6'
# The three miss marks, as one rectangle.
_marks = [RECTS[m] for m in ('Im_Miss1', 'Im_Miss2', 'Im_Miss3')]
_left, _top = min(r[0] for r in _marks), min(r[1] for r in _marks)
MISSES = (_left, _top, max(r[0] + r[2] for r in _marks) - _left, max(r[1] + r[3] for r in _marks) - _top)

# The page point of a window pixel (page_point.js), as a script run with its arguments.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "page_point.js"), encoding="utf-8") as _f:
    PAGE_POINT = f"return ({_f.read()}).apply(null, arguments);"


def turn(d, size):
    width, height = size
    d.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
        'width': width, 'height': height, 'deviceScaleFactor': 3, 'mobile': True,
        'screenOrientation': {'type': 'landscapePrimary', 'angle': 90} if width > height
        else {'type': 'portraitPrimary', 'angle': 0}})


def phone(name, size):
    d = page.browser(name)
    turn(d, size)
    d.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})
    return d


def centre(d, name, dx=0, dy=0):
    """The page point dx, dy CSS pixels off an element's middle."""
    left, top, width, height = RECTS[name]
    x, y = d.execute_script(PAGE_POINT, left + width / 2, top + height / 2)
    return {'x': x + dx, 'y': y + dy}


def finger(d, phase, point=None):
    d.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': phase, 'touchPoints': [point] if point else []})


def page_now(d):
    return d.execute_script('return performance.now()')


def held_for(d, ms):
    """Waits until the page's own clock has moved on ms."""
    start = page_now(d)
    wait_for(d, f'return performance.now() >= {start + ms}', f'{ms} ms of the page')


def shown(d, id_):
    return d.execute_script(f"return !document.getElementById('{id_}').hidden")


def play(d):
    d.execute_script("const list = document.getElementById('CB_Sound');"
                     "list.selectedIndex = list.options.length - 1;"
                     "list.dispatchEvent(new Event('change'));")
    d.find_element(By.ID, 'Puls_Play').click()
    wait_for(d, "return document.getElementById('launcher').hidden", 'the launcher to close')


def screenshot(d, name):
    if SHOTS:
        with open(os.path.join(SHOTS, name), 'wb') as f:
            f.write(base64.b64decode(d.execute_cdp_cmd('Page.captureScreenshot', {})['data']))


def sideways_controls(server):
    """Before Play a touch changes nothing; then a touch 15 px off TIME's and ACL's
    middles works that button, held past the long press without opening the menu."""
    power_on = replay_png(POWER_ON, 3)
    d = phone('sideways', SIDEWAYS)
    try:
        load(d, server.url)
        check('sideways: the face at scale 3 equals the replay render',
              d.execute_script("return document.getElementById('handheld').dataset.scale") == '3' and
              differing(d, power_on) == 0)
        for name in ('Puls_Right', 'Puls_Time', 'Im_SchermoTop'):
            finger(d, 'touchStart', centre(d, name))
            held_for(d, 700)
            finger(d, 'touchEnd')
        check('before Play a touch changes nothing, nor opens the menu',
              differing(d, power_on) == 0 and shown(d, 'launcher') and not shown(d, 'menu'))
        screenshot(d, 'sideways-launcher.png')
        play(d)
        for name, off, script, what in (('Puls_Time', (15, 0), TIME_HELD, 'the alarm time'),
                                        ('Puls_ACL', (-15, 0), ACL_HELD, 'a blank face'),
                                        ('Puls_ACL', (0, 15), ACL_HELD, 'a blank face')):
            finger(d, 'touchStart', centre(d, name, *off))
            held_for(d, 700)
            expected = replay_png(script, 3)
            works = differing(d, expected, DIGITS if name == 'Puls_Time' else None) == 0
            check(f'sideways: a touch {off} px off {name} held shows {what}', works and not shown(d, 'menu'))
            finger(d, 'touchEnd')
            page.settle_paint(d)
        finger(d, 'touchStart', centre(d, 'Puls_Right'))
        if SHOTS:
            held_for(d, 400)  # the figure on the jetty
        screenshot(d, 'sideways-playing.png')
        finger(d, 'touchEnd')
        check('sideways: no console errors', not page.severe(d), page.severe(d))
    finally:
        d.quit()


def upright_controls(server):
    """Held upright, the face takes the full width, every control answers a touch 20 px
    off its middle in each direction, and the large controls under the face work them."""
    d = phone('upright', UPRIGHT)
    try:
        load(d, server.url)
        play(d)
        width = d.execute_script(PAGE_POINT, 652, 0)[0] - d.execute_script(PAGE_POINT, 0, 0)[0]
        check('upright: the face takes the full width', abs(width - UPRIGHT[0]) < 1, width)
        missed = []
        for name in ('Puls_Left', 'Puls_Right', 'Puls_Time', 'Puls_ACL'):
            for off in ((20, 0), (-20, 0), (0, 20), (0, -20)):
                page.settle_paint(d)
                before = region(d, name)
                finger(d, 'touchStart', centre(d, name, *off))
                if not eventually(lambda: region(d, name) != before, 2):
                    missed.append(f'{name} {off}')
                finger(d, 'touchEnd')
        check('upright: every control answers 20 px off its middle', not missed, missed)
        # The large controls under the face work the same buttons.
        missed = []
        for index, name in enumerate(('Puls_Left', 'Puls_Right', 'Puls_Time', 'Puls_ACL')):
            button = d.find_element(By.CSS_SELECTOR, f"#pad [data-control='{index}']").rect
            page.settle_paint(d)
            before = region(d, name)
            finger(d, 'touchStart', {'x': button['x'] + button['width'] / 2, 'y': button['y'] + button['height'] / 2})
            pushed = eventually(lambda: region(d, name) != before, 2)
            finger(d, 'touchEnd')
            if not pushed or not eventually(lambda: region(d, name) == before, 2) or button['width'] < 44:
                missed.append(name)
        check('upright: the large controls under the face work their buttons', not missed, missed)
        finger(d, 'touchStart', centre(d, 'Puls_Right'))
        if SHOTS:
            held_for(d, 400)
        screenshot(d, 'upright-playing.png')
        finger(d, 'touchEnd')
    finally:
        d.quit()


def hidden_game(server):
    """Game A keeps its misses while the page is hidden: the handheld waits."""
    game_a = replay_png(GAME_A_START, 3)
    d = phone('hidden', SIDEWAYS)
    try:
        load(d, server.url)
        play(d)
        d.execute_script("window.hiddenAt = null; document.addEventListener('visibilitychange', () => {"
                         " window.hiddenAt = document.hidden ? performance.now() : window.hiddenAt; });")
        finger(d, 'touchStart', centre(d, 'Puls_Left'))
        finger(d, 'touchEnd')
        check('a touch on GAME A starts game A with no miss',
              eventually(lambda: differing(d, game_a, MISSES) == 0 and
                         differing(d, game_a, RECTS['Im_GameA']) == 0))
        # Another tab in front hides the page.
        other = d.execute_cdp_cmd('Target.createTarget', {'url': 'about:blank'})['targetId']
        d.execute_cdp_cmd('Target.activateTarget', {'targetId': other})
        wait_for(d, 'return document.hidden && window.hiddenAt !== null', 'the page hidden')
        wait_for(d, 'return performance.now() - window.hiddenAt >= 15000', '15 s of the page hidden', 30)
        hidden_for = d.execute_script('return performance.now() - window.hiddenAt')
        mine = [t['targetId'] for t in d.execute_cdp_cmd('Target.getTargets', {})['targetInfos']
                if t['type'] == 'page' and t['targetId'] != other][0]
        d.execute_cdp_cmd('Target.activateTarget', {'targetId': mine})
        d.execute_cdp_cmd('Target.closeTarget', {'targetId': other})
        wait_for(d, 'return !document.hidden', 'the page shown again')
        check(f'hidden {hidden_for / 1000:.1f} s, game A goes on with no miss',
              differing(d, game_a, MISSES) == 0 and differing(d, game_a, RECTS['Im_GameA']) == 0)
    finally:
        d.quit()


def offline_every_scale():
    """Opened once online at ratio 1, the page plays offline on a phone at scale 3; with
    that scale's pictures gone, it draws the face from the ones it has."""
    server = page.Server()
    d = page.browser('offline')
    try:
        load(d, server.url)
        wait_for(d, 'return navigator.serviceWorker.controller !== null', 'the service worker')
        wait_for(d, "return caches.open('fenwater').then((c) => c.match('pictures/face-3x.bin'))"
                    ".then((r) => Boolean(r))", 'every scale kept')
        server.stop()
        for gone, scale in (((), '3'), (('face-3x.bin', 'face-2x.bin'), '1')):
            for file in gone:
                d.execute_async_script(f"caches.open('fenwater').then((c) => c.delete('pictures/{file}'))"
                                       ".then(arguments[0])")
            d.execute_cdp_cmd('Network.clearBrowserCache', {})
            turn(d, SIDEWAYS)
            load(d, server.url)
            ok = eventually(lambda: d.execute_script(
                "return document.getElementById('handheld').dataset.scale") == scale)
            check(f'offline, pictures of scale 3 {"gone" if gone else "never fetched"}: the face at scale {scale}',
                  ok and differing(d, replay_png(POWER_ON, int(scale))) == 0)
    finally:
        d.quit()


def windows_by_touch(server):
    """The readme scrolls by a swipe; back and a tap outside close the windows; their
    close buttons are a finger's size."""
    d = phone('windows', UPRIGHT)
    try:
        load(d, server.url)
        play(d)
        finger(d, 'touchStart', centre(d, 'Im_SchermoTop'))
        opened = eventually(lambda: shown(d, 'menu'))
        finger(d, 'touchEnd')
        check('a long press opens the menu', opened)
        item = d.find_element(By.CSS_SELECTOR, "#menu [data-item='readme']").rect
        point = {'x': item['x'] + item['width'] / 2, 'y': item['y'] + item['height'] / 2}
        finger(d, 'touchStart', point)
        finger(d, 'touchEnd')
        wait_for(d, "return !document.getElementById('viewer').hidden", 'the readme')
        text = d.find_element(By.CSS_SELECTOR, '#viewer pre').rect
        x = text['x'] + text['width'] / 2
        y = text['y'] + text['height'] * 0.8
        finger(d, 'touchStart', {'x': x, 'y': y})
        for step in range(1, 11):
            finger(d, 'touchMove', {'x': x, 'y': y - step * text['height'] * 0.06})
        finger(d, 'touchEnd')
        check('the readme scrolls by a swipe',
              eventually(lambda: d.execute_script("return document.querySelector('#viewer pre').scrollTop") > 0))
        close = d.find_element(By.CSS_SELECTOR, '#viewer .close').rect
        check('its close button is 44 px or more', close['width'] >= 44 and close['height'] >= 44, close)
        screenshot(d, 'upright-readme.png')
        d.back()
        check('back closes it, and the game goes on',
              eventually(lambda: not shown(d, 'viewer')) and not shown(d, 'launcher'))
        d.execute_script("document.dispatchEvent(new KeyboardEvent('keydown', {key: 'F1'}))")
        wait_for(d, "return !document.getElementById('about').hidden", 'the about window')
        finger(d, 'touchStart', centre(d, 'Puls_Right'))
        finger(d, 'touchEnd')
        # GAME B would have started game B, which clears the game A mark.
        scale = int(d.execute_script("return document.getElementById('handheld').dataset.scale"))
        check('a tap outside closes the about window, and works nothing', eventually(lambda: not shown(d, 'about'))
              and differing(d, replay_png(POWER_ON, scale), RECTS['Im_GameA']) == 0)
    finally:
        d.quit()


def two_tabs(server):
    """A best score stored in one tab is what another shows next."""
    d = page.browser('tabs')
    try:
        load(d, server.url)
        play(d)
        first = d.current_window_handle
        d.switch_to.new_window('tab')
        load(d, server.url)
        d.execute_script("localStorage.setItem('Fenwater\\\\\\\\hiscoreb', '77')")
        d.close()
        d.switch_to.window(first)
        page.press(d, page.Keys.ARROW_RIGHT)
        expected = replay_png(page.GAME_B_START, 1, ('--hiscore-b', '77'))
        check("another tab's best score shows as game B starts",
              eventually(lambda: differing(d, expected, DIGITS) == 0, 0.9))
    finally:
        d.quit()


def main():
    server = page.Server()
    started = time.time()
    try:
        sideways_controls(server)
        upright_controls(server)
        windows_by_touch(server)
        two_tabs(server)
        hidden_game(server)
    finally:
        server.stop()
    offline_every_scale()
    print(f'{len(page.failures)} failed' if page.failures else 'all passed', f'({time.time() - started:.0f} s)')
    return 1 if page.failures else 0


if __name__ == '__main__':
    try:
        status = main()
    finally:
        shutil.rmtree(page.WORK, ignore_errors=True)
    sys.exit(status)
