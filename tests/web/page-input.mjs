// The page's keyboard, touch, menu and storage handling in headless Chromium, driven by
// playwright-core: node page-input.mjs PLAYWRIGHT_DIR URL
// Prints one "ok ..." or "FAIL ..." line a check.

import {createRequire} from 'module';

const [playwrightDir, url] = process.argv.slice(2);
const {chromium} = createRequire(playwrightDir + '/')('playwright-core');

let failures = 0;
function check(what, actual, expected) {
    if (actual === expected) {
        console.log('ok   ' + what);
    } else {
        failures += 1;
        console.log(`FAIL ${what}: expected ${JSON.stringify(expected)}, got ${JSON.stringify(actual)}`);
    }
}

const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const display = (page) => page.locator('#display').textContent();
// The display once it has settled on `expected`, or what it shows after five seconds.
async function displayBecomes(page, expected) {
    try {
        await page.waitForFunction((text) => document.getElementById('display').textContent === text,
                                   expected, {timeout: 5000});
    } catch (e) { /* the check reports what it shows */ }
    return display(page);
}
async function keyBox(page, index) {
    return page.locator(`#overlay button[data-key="${index}"]`).boundingBox();
}

try {
    const context = await browser.newContext({hasTouch: true, viewport: {width: 1280, height: 800}});
    const page = await context.newPage();
    page.on('pageerror', (error) => console.log('page error: ' + error.message));
    await page.goto(url);
    await page.waitForFunction(() => document.querySelectorAll('#overlay button').length > 0);

    // The power switch through its labelled button, from the keyboard.
    await page.locator('#overlay button[aria-label="Power ON"]').focus();
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.getElementById('display').textContent !== '');
    check('the power switch button reports its position',
          await page.locator('#overlay button[aria-label="Power ON"]').getAttribute('aria-pressed'),
          'true');
    await page.evaluate(() => document.activeElement.blur());

    // Typed keys, the typed operations included (by the character, whatever key types it),
    // and a key with Shift held giving its shifted function.
    for (const [keys, expected] of [[['2', 'Enter', '3', '+'], '5.00'],
                                    [['3', 'Enter', 'Shift+Q'], '9.00'],
                                    [['4', 'Enter', '5', '*'], '20.00'],
                                    [['9', 'Enter', '3', '/'], '3.00'],
                                    [['Backspace'], '0.00']]) {
        for (const key of keys) await page.keyboard.press(key);
        check('typing ' + keys.join(' '), await displayBecomes(page, expected), expected);
    }

    // Two fingers: the second finger's key is neither pressed nor does its lifting release
    // the first.
    const seven = await keyBox(page, 17), eight = await keyBox(page, 18);
    const point = (box, id) => ({x: box.x + box.width / 2, y: box.y + box.height / 2, id});
    const cdp = await context.newCDPSession(page);
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points});
    await touch('touchStart', [point(seven, 1)]);
    await touch('touchStart', [point(seven, 1), point(eight, 2)]);
    await touch('touchEnd', [point(seven, 1)]);
    await touch('touchEnd', []);
    check('two fingers press one key', await displayBecomes(page, '7'), '7');

    // Print x, then the roll is in the browser's storage within a second.
    await page.keyboard.press('p');
    await page.waitForFunction(() => document.querySelectorAll('#roll li').length === 1,
                               null, {timeout: 10000}).catch(() => {});
    const storedWithin = await page.waitForFunction(
        () => localStorage.getItem('quorvel:pf73.dat') !== null, null, {timeout: 1000})
        .then(() => true, () => false);
    check('the printed roll is stored within a second', storedWithin, true);

    // The menu from the right button; Discard Used Roll asks, with No as the default.
    const face = await page.locator('#face').boundingBox();
    await page.mouse.click(face.x + face.width * 0.3, face.y + face.height * 0.2, {button: 'right'});
    check('the right button opens the menu', await page.locator('#menu').isVisible(), true);
    await page.locator('#menu button[data-command="7"]').click();
    check('the question counts the lines', await page.locator('#question-text').textContent(),
          'Discard the 1 printed lines?');
    check('No is the default', await page.evaluate(() => document.activeElement.value), 'no');
    await page.keyboard.press('Enter');
    check('No keeps the roll', await page.locator('#roll li').count(), 1);
    await page.locator('#menu-button').click();
    const [help] = await Promise.all([
        page.waitForEvent('popup', {timeout: 5000}).catch(() => null),
        page.locator('#menu button[data-command="12"]').click()]);
    check('Help opens the help document', help && new URL(help.url()).pathname, '/Quorvelhelp.pdf');
    if (help) await help.close();

    // Pasted text through the paste event, as Ctrl+V delivers it.
    await page.evaluate(() => {
        const data = new DataTransfer();
        data.setData('text/plain', '-1.5e3');
        document.body.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data,
                                                                 bubbles: true}));
    });
    check('pasting -1.5e3', await displayBecomes(page, '-1500'), '-1500');
    check('copying X', await page.evaluate(() => {
        const data = new DataTransfer();
        document.body.dispatchEvent(new ClipboardEvent('copy', {clipboardData: data,
                                                                bubbles: true}));
        return data.getData('text/plain');
    }), '-1500');

    // Save Roll as Text: a UTF-8 download of the roll.
    await page.locator('#menu-button').click();
    const [download] = await Promise.all([
        page.waitForEvent('download', {timeout: 5000}).catch(() => null),
        page.locator('#menu button[data-command="9"]').click()]);
    check('Save Roll as Text names its file', download && download.suggestedFilename(),
          'quorvel-roll.txt');
    const saved = download ? await download.path().then((path) => path &&
        import('fs').then((fs) => fs.readFileSync(path, 'utf8'))) : '';
    check('the saved roll holds the printed line', /7\.00/.test(saved || ''), true);

    // A reload resumes where the calculator was, with the stored roll.
    await page.evaluate(() => window.dispatchEvent(new Event('pagehide')));
    await page.reload();
    check('a reload resumes the display', await displayBecomes(page, '-1500'), '-1500');
    await page.keyboard.press('Enter');
    await page.keyboard.press('+');
    check('a reload resumes the stack', await displayBecomes(page, '-3000.00'), '-3000.00');
    const times = await page.evaluate(() => document.body.dataset);
    console.log(`start-up after loading: module and files ready at ${times.moduleReadyAfter} ms, ` +
                `start-up took ${times.startUpTook} ms, display lit at ${times.litAfter} ms`);
    check('the stored roll comes back', await page.locator('#roll li').count(), 1);

    // A damaged stored roll and state are kept aside, not overwritten.
    // (From another page of the site, as the calculator stores both when it is left.)
    await page.goto(new URL('files/keymap.txt', url).href);
    await page.evaluate(() => {
        localStorage.setItem('quorvel:pf73.dat', btoa('damaged'));
        localStorage.setItem('quorvel:qs73.dat', btoa('damaged'));
    });
    await page.goto(url);
    check('a damaged state powers on fresh', await displayBecomes(page, '0.00'), '0.00');
    const stateAside = await page.waitForFunction(() => Object.keys(localStorage)
        .some((key) => key.startsWith('quorvel:qs73.dat:damaged:')), null, {timeout: 5000})
        .then(() => true, () => false);
    check('the damaged state is kept aside', stateAside, true);
    const aside = await page.evaluate(() => Object.keys(localStorage)
        .filter((key) => key.startsWith('quorvel:pf73.dat:damaged:'))
        .map((key) => atob(localStorage.getItem(key))));
    check('the damaged roll is kept aside', aside.join(), 'damaged');
    check('the damaged roll is not shown', await page.locator('#roll li').count(), 0);
} catch (error) {
    failures += 1;
    console.log('FAIL the page could not be driven: ' + error.message);
} finally {
    await browser.close();
}
process.exit(failures ? 1 : 0);
