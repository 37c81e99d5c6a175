// The page around the calculator module: it loads the data files, paints the face the
// module composes, turns pointer and keyboard events into the module's calls, plays the
// sounds and keeps the settings and the roll in the browser's local storage.
'use strict';

(function () {
    const folder = '/calc';
    const dataFiles = ['OCMno.dat', 'dsplbno.dat', 'cal73.pfl', 'chdtfl73.dat', 'PMnon.dat',
                       'parts.png'];
    const storedFiles = ['cce73.ini', 'pf73.dat', 'qs73.dat'];
    // Continuous memory: the machine state while the power is on.
    const stateFile = 'qs73.dat';
    const storagePrefix = 'quorvel:';
    const soundNames = ['swc', 'swi', 'fed', 'prn', 'rip'];
    // Bits of the module's frame result.
    const frameWanted = 1, faceRedrawn = 2, rollChanged = 4, stoppedForGood = 8;
    // Parts of the face the page puts buttons over.
    const switchLabels = [
        [13, 'Power OFF', 0, 0], [14, 'Power ON', 0, 1],
        [15, 'Print MAN', 1, 0], [16, 'Print ALL', 1, 1], [17, 'Print NORM', 1, 2],
        [18, 'Angle DEG', 2, 0], [19, 'Angle GRD', 2, 1], [20, 'Angle RAD', 2, 2]];
    const feedPart = 22, keyLabelPart = 29;
    // The menu's commands, numbered as the module numbers them.
    const commandCopy = 0, commandPaste = 1, commandDiscard = 7, commandHelp = 12;
    // Keys that type one of the four operations but have no key code of their own here (on
    // some layouts): the module takes the operation from the typed character.
    const typedOperations = {'+': 107, '-': 109, '*': 106, '/': 111};

    const $ = (id) => document.getElementById(id);
    const face = $('face');
    const calculatorBox = $('calculator');
    const statusLine = $('status');
    const displayLive = $('display');
    let M = null;
    let width = 0, height = 0, scale = 1;
    let frameScheduled = false;
    let shownText = null;
    let stopped = false;
    let poweredOn = false;
    const offscreen = document.createElement('canvas');
    let keyNames = [];

    // ------------------------------------------------------------ sounds
    const sounds = {bytes: {}, buffers: {}, context: null, playing: null};
    function wakeSounds() {
        if (sounds.context) return;
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        sounds.context = new Context();
        for (const name of soundNames) decodeSound(name);
    }
    function decodeSound(name) {
        const bytes = sounds.bytes[name];
        if (!sounds.context || !bytes || sounds.buffers[name]) return;
        sounds.context.decodeAudioData(bytes.slice(0)).then((buffer) => {
            sounds.buffers[name] = buffer;
        }, () => {});
    }
    function playSound(name) {
        const buffer = sounds.buffers[name.toLowerCase()];
        if (!sounds.context || !buffer) return;
        // A new sound cuts off the one still playing.
        if (sounds.playing) {
            try { sounds.playing.stop(); } catch (e) { /* already ended */ }
        }
        const source = sounds.context.createBufferSource();
        source.buffer = buffer;
        source.connect(sounds.context.destination);
        source.start();
        sounds.playing = source;
    }

    // ------------------------------------------------------------ storage
    let storageWarned = false;
    function toBase64(bytes) {
        let text = '';
        for (let i = 0; i < bytes.length; i += 0x8000) {
            text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
        }
        return btoa(text);
    }
    function fromBase64(text) {
        const raw = atob(text);
        const bytes = new Uint8Array(raw.length);
        for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
        return bytes;
    }
    // A stored file that cannot be read is kept under its own key, never overwritten.
    function keepAside(name) {
        const key = storagePrefix + name;
        const value = localStorage.getItem(key);
        if (value === null) return;
        try {
            localStorage.setItem(key + ':damaged:' + new Date().toISOString(), value);
            statusLine.textContent = 'The stored ' + (name === 'pf73.dat' ? 'roll' : 'settings') +
                ' could not be read; the damaged copy is kept aside in the browser storage.';
        } catch (e) {
            storageFailed();
        }
    }
    function storageFailed() {
        if (storageWarned) return;
        storageWarned = true;
        statusLine.textContent = 'This browser does not let the page store the roll and the settings.';
    }
    function restoreStoredFiles() {
        for (const name of storedFiles) {
            let value = null;
            try { value = localStorage.getItem(storagePrefix + name); } catch (e) { storageFailed(); }
            storedValues[name] = value;
            if (value === null) continue;
            try {
                M.FS.writeFile(folder + '/' + name, fromBase64(value));
            } catch (e) {
                keepAside(name);
            }
        }
    }
    // What each stored file last held, so an unchanged file is not written again.
    const storedValues = {};
    function storeFile(name) {
        let value = null;
        try {
            value = toBase64(M.FS.readFile(folder + '/' + name));
        } catch (e) {
            // No state file: the power went off, which forgets the state.
            if (name !== stateFile) return;
        }
        if (value === storedValues[name]) return;
        try {
            if (value === null) localStorage.removeItem(storagePrefix + name);
            else localStorage.setItem(storagePrefix + name, value);
            storedValues[name] = value;
        } catch (e) {
            storageFailed();
        }
    }
    // A state the module could not resume was renamed aside in its folder: it is kept in
    // the browser storage under its own key.
    function keepStateAside() {
        for (const name of M.FS.readdir(folder)) {
            if (!name.startsWith(stateFile + '.')) continue;
            const path = folder + '/' + name;
            try {
                localStorage.setItem(storagePrefix + stateFile + ':damaged:' +
                                     new Date().toISOString(), toBase64(M.FS.readFile(path)));
                statusLine.textContent = 'The stored calculator state could not be resumed; ' +
                    'it is kept aside in the browser storage.';
            } catch (e) {
                storageFailed();
                return;
            }
            M.FS.unlink(path);
        }
    }
    function saveState() {
        if (!M || stopped) return;
        M._qv_save_state();
        keepStateAside();
        for (const name of storedFiles) storeFile(name);
    }

    // ------------------------------------------------------------ painting
    function layout() {
        if (!width) return;
        const listing = $('listing');
        const listingShown = !listing.hidden;
        const viewWidth = document.documentElement.clientWidth;
        const viewHeight = window.innerHeight - $('toolbar').offsetHeight;
        let room = viewWidth - 8;
        // Side by side when the paper fits beside a face at least 0.9 of its size; else the
        // paper goes below the face.
        if (listingShown && viewWidth > viewHeight && viewWidth - 250 >= width * 0.9) room -= 250;
        scale = Math.max(0.2, Math.min(room / width, (viewHeight - 8) / height, 3));
        const cssWidth = Math.floor(width * scale), cssHeight = Math.floor(height * scale);
        calculatorBox.style.width = cssWidth + 'px';
        calculatorBox.style.height = cssHeight + 'px';
        const ratio = window.devicePixelRatio || 1;
        face.width = Math.round(cssWidth * ratio);
        face.height = Math.round(cssHeight * ratio);
        const beside = viewWidth - cssWidth >= 250;
        listing.style.width = beside ? '230px' : cssWidth + 'px';
        listing.style.height = beside ? cssHeight + 'px'
                                      : Math.max(200, viewHeight - cssHeight - 16) + 'px';
        placeOverlay();
        paint();
    }
    function paint() {
        if (!M || !width) return;
        const pixels = M._qv_face_pixels();
        const image = new ImageData(
            new Uint8ClampedArray(M.HEAPU8.buffer, pixels, width * height * 4), width, height);
        offscreen.getContext('2d').putImageData(image, 0, 0);
        const context = face.getContext('2d');
        context.clearRect(0, 0, face.width, face.height);
        context.imageSmoothingEnabled = true;
        context.drawImage(offscreen, 0, 0, face.width, face.height);
    }
    function showLegend() {
        const legend = $('legend');
        const caption = M.UTF8ToString(M._qv_legend_caption());
        if (!caption || !M._qv_part_edge(keyLabelPart, 4)) {
            legend.hidden = true;
            return;
        }
        placeAt(legend, M._qv_part_edge(keyLabelPart, 0), M._qv_part_edge(keyLabelPart, 1),
                M._qv_part_edge(keyLabelPart, 2), M._qv_part_edge(keyLabelPart, 3));
        legend.textContent = caption;
        legend.hidden = false;
    }
    function placeAt(element, left, top, w, h) {
        element.style.left = left * scale + 'px';
        element.style.top = top * scale + 'px';
        element.style.width = w * scale + 'px';
        element.style.height = h * scale + 'px';
    }

    // ------------------------------------------------------------ the run loop
    // Frames come from the browser's animation frames. Where those do not come (a hidden
    // tab, a headless browser), a slower timer stands in, so printing finishes and linked
    // keys are pressed; the calculator's pace follows the clock either way.
    let animationFrame = 0, standInTimer = 0;
    function schedule() {
        if (frameScheduled || stopped || !M) return;
        frameScheduled = true;
        animationFrame = requestAnimationFrame(frame);
        standInTimer = setTimeout(() => frame(performance.now()), 100);
    }
    function frame(now) {
        if (!frameScheduled) return;
        frameScheduled = false;
        cancelAnimationFrame(animationFrame);
        clearTimeout(standInTimer);
        const result = M._qv_frame(now);
        if (result & faceRedrawn) paint();
        if (result & rollChanged) {
            storeFile('pf73.dat');
            refreshListing();
        }
        updateDisplayText();
        updateSwitchButtons();
        const powerOn = M._qv_power_on() === 1;
        if (powerOn !== poweredOn) {
            poweredOn = powerOn;
            keepStateAside();
            if (!powerOn) storeFile(stateFile);
        }
        if (result & stoppedForGood) {
            stopped = true;
            statusLine.textContent = 'The calculator has stopped. Reload the page to start it again.';
            return;
        }
        if (result & frameWanted) schedule();
    }
    function updateDisplayText() {
        const text = M.UTF8ToString(M._qv_display_text());
        if (text === shownText) return;
        shownText = text;
        displayLive.textContent = text;
        // Milliseconds from the start of the page's navigation, for whoever measures it.
        if (text && !document.body.dataset.litAfter) {
            document.body.dataset.litAfter = String(Math.round(performance.now()));
        }
    }

    // ------------------------------------------------------------ pointers
    function facePoint(event) {
        const box = face.getBoundingClientRect();
        return [Math.floor((event.clientX - box.left) / scale),
                Math.floor((event.clientY - box.top) / scale)];
    }
    const cursors = ['default', 'pointer', 'grab'];
    calculatorBox.addEventListener('pointerdown', (event) => {
        wakeSounds();
        closeMenu();
        const [x, y] = facePoint(event);
        const button = event.pointerType === 'mouse' ? event.button : 0;
        if (M._qv_pointer_down(event.pointerId, x, y, button)) {
            openMenu(event.clientX, event.clientY);
        } else if (button === 0) {
            try { calculatorBox.setPointerCapture(event.pointerId); } catch (e) { /* gone */ }
        }
        event.preventDefault();
        afterInput();
    });
    calculatorBox.addEventListener('pointermove', (event) => {
        const [x, y] = facePoint(event);
        M._qv_pointer_move(event.pointerId, x, y);
        if (event.pointerType === 'mouse') {
            face.style.cursor = cursors[M._qv_cursor_at(x, y)] || 'default';
            face.title = M.UTF8ToString(M._qv_hint_at(x, y));
        }
        showLegend();
    });
    const pointerEnd = (event) => {
        M._qv_pointer_up(event.pointerId, event.type === 'pointercancel' ? 0 : event.button);
        afterInput();
        // A switch may have moved; the settings are small.
        saveState();
    };
    calculatorBox.addEventListener('pointerup', pointerEnd);
    calculatorBox.addEventListener('pointercancel', pointerEnd);
    calculatorBox.addEventListener('contextmenu', (event) => event.preventDefault());

    function afterInput() {
        schedule();
        showLegend();
        updateSwitchButtons();
    }

    // ------------------------------------------------------------ keyboard
    function virtualKey(event) {
        const code = event.code || '';
        let key = 0;
        if (/^Digit[0-9]$/.test(code)) key = 48 + Number(code[5]);
        else if (/^Numpad[0-9]$/.test(code)) key = 96 + Number(code[6]);
        else if (/^[a-z]$/i.test(event.key)) key = event.key.toUpperCase().charCodeAt(0);
        else if (/^Key[A-Z]$/.test(code)) key = code.charCodeAt(3);
        else {
            key = {Backspace: 8, Enter: 13, NumpadEnter: 13, ShiftLeft: 16, ShiftRight: 16,
                   NumpadMultiply: 106, NumpadAdd: 107, NumpadSubtract: 109, NumpadDecimal: 110,
                   NumpadDivide: 111, Equal: 187, Minus: 189, Period: 190, Slash: 191}[code] || 0;
        }
        if (!key && typedOperations[event.key]) key = typedOperations[event.key];
        return [key, event.shiftKey];
    }
    // The character a key typed, as the module's keyboard rule takes it.
    function typedText(event) {
        return [...event.key].length === 1 ? event.key : '';
    }
    // Keys typed anywhere but in the page's own controls go to the calculator; Enter and
    // Space on a switch's button work that button.
    function forCalculator(event) {
        const target = event.target;
        if (!target.closest) return true;
        if (target.closest('dialog, #menu, #listing, #toolbar, input')) return false;
        const ownButton = target.closest('button:not([data-key])');
        return !(ownButton && (event.key === 'Enter' || event.key === ' '));
    }
    document.addEventListener('keydown', (event) => {
        if (!M || !forCalculator(event)) return;
        if (event.key === 'Escape') return;
        const [key, shift] = virtualKey(event);
        if (!key || event.ctrlKey || event.metaKey || event.altKey) return;
        event.preventDefault();
        wakeSounds();
        // The held key ignores the keyboard's repeats, as the calculator does.
        if (event.repeat) return;
        M.ccall('qv_key_down', null, ['number', 'number', 'number', 'number', 'string'],
                [key, shift ? 1 : 0, 0, 0, typedText(event)]);
        afterInput();
    });

    // ------------------------------------------------------------ clipboard
    // Ctrl+C and Ctrl+V arrive as the browser's copy and paste events, which hand over the
    // clipboard without asking; the menu's Copy and Paste ask the browser for it.
    let copyEvent = null;
    function decimalSeparator() {
        try {
            const part = new Intl.NumberFormat().formatToParts(1.5).find((p) => p.type === 'decimal');
            return part && part.value === ',' ? ',' : '.';
        } catch (e) {
            return '.';
        }
    }
    function pasteText(text) {
        if (!M || stopped) return;
        M.ccall('qv_paste', 'number', ['string', 'number'],
                [text, decimalSeparator().charCodeAt(0)]);
        afterInput();
    }
    function setClipboardText(text) {
        if (copyEvent) {
            copyEvent.clipboardData.setData('text/plain', text);
            copyEvent.preventDefault();
            return;
        }
        const refused = () => page.showError('The browser did not let the page use the ' +
                                             'clipboard: copy with Ctrl+C.');
        if (!navigator.clipboard) { refused(); return; }
        navigator.clipboard.writeText(text).catch(refused);
    }
    function pasteFromMenu() {
        const refused = () => page.showError('The browser did not let the page read the ' +
                                             'clipboard: paste with Ctrl+V.');
        if (!navigator.clipboard || !navigator.clipboard.readText) { refused(); return; }
        navigator.clipboard.readText().then(pasteText, refused);
    }
    function ownTextSelected(event) {
        const selection = window.getSelection();
        return !forCalculator(event) || (selection && !selection.isCollapsed);
    }
    document.addEventListener('copy', (event) => {
        if (!M || stopped || ownTextSelected(event)) return;
        copyEvent = event;
        try {
            M._qv_menu_command(commandCopy);
        } finally {
            copyEvent = null;
        }
        // Nothing copied: the module has said why; the clipboard keeps what it held.
        event.preventDefault();
    });
    document.addEventListener('paste', (event) => {
        if (!M || !forCalculator(event)) return;
        event.preventDefault();
        pasteText(event.clipboardData ? event.clipboardData.getData('text/plain') : '');
    });
    document.addEventListener('keyup', (event) => {
        if (!M || !forCalculator(event)) return;
        const [key] = virtualKey(event);
        if (!key) return;
        M._qv_key_up(key);
        afterInput();
    });

    // ------------------------------------------------------------ buttons over the face
    const switchButtons = [];
    function labelFor(index) {
        const entry = keyNames[index];
        const legend = M.UTF8ToString(M._qv_key_legend(index));
        if (!entry) return 'Key ' + legend;
        let label = entry.legend || legend;
        if (entry.shifted) label += ', shifted ' + entry.shifted;
        return label + ' (PC key ' + legend + ')';
    }
    function buildOverlay() {
        const overlay = $('overlay');
        for (let i = 0; i < M._qv_key_count(); ++i) {
            const button = document.createElement('button');
            button.dataset.key = i;
            button.setAttribute('aria-label', labelFor(i));
            button.addEventListener('keydown', (event) => {
                if (event.key !== 'Enter' && event.key !== ' ') return;
                event.preventDefault();
                event.stopPropagation();
                if (!event.repeat) M._qv_press_key(i);
                afterInput();
            });
            button.addEventListener('keyup', (event) => {
                if (event.key !== 'Enter' && event.key !== ' ') return;
                event.preventDefault();
                event.stopPropagation();
                M._qv_release_key();
                afterInput();
            });
            // A screen reader's activation clicks without key events.
            button.addEventListener('click', (event) => {
                if (event.detail !== 0) return;
                M._qv_queue_key(i);
                afterInput();
            });
            overlay.appendChild(button);
        }
        for (const [part, label, which, position] of switchLabels) {
            const button = document.createElement('button');
            button.setAttribute('aria-label', label);
            button.dataset.part = part;
            button.addEventListener('click', () => {
                wakeSounds();
                M._qv_switch_label(part);
                afterInput();
                saveState();
            });
            switchButtons.push([button, which, position]);
            overlay.appendChild(button);
        }
        const feed = document.createElement('button');
        feed.setAttribute('aria-label', 'Paper feed');
        feed.dataset.part = feedPart;
        feed.addEventListener('click', () => { M._qv_feed(); afterInput(); });
        overlay.appendChild(feed);
    }
    function placeOverlay() {
        for (const button of $('overlay').children) {
            if (button.dataset.key !== undefined) {
                const i = Number(button.dataset.key);
                const left = M._qv_key_edge(i, 0), top = M._qv_key_edge(i, 1);
                placeAt(button, left, top, M._qv_key_edge(i, 2) - left, M._qv_key_edge(i, 3) - top);
            } else {
                const part = Number(button.dataset.part);
                placeAt(button, M._qv_part_edge(part, 0), M._qv_part_edge(part, 1),
                        M._qv_part_edge(part, 2), M._qv_part_edge(part, 3));
            }
        }
    }
    function updateSwitchButtons() {
        if (!M) return;
        for (const [button, which, position] of switchButtons) {
            button.setAttribute('aria-pressed', M._qv_switch_position(which) === position);
        }
    }
    async function loadKeyNames() {
        try {
            const text = await (await fetch('files/keymap.txt')).text();
            for (const line of text.split('\n')) {
                if (!/^\d+~/.test(line)) continue;
                const fields = line.split('~');
                keyNames[Number(fields[0])] = {legend: fields[2], shifted: fields[3]};
            }
        } catch (e) {
            keyNames = [];
        }
    }

    // ------------------------------------------------------------ menu and dialogs
    const menu = $('menu');
    const menuButton = $('menu-button');
    function openMenu(x, y) {
        for (const item of menu.querySelectorAll('[role="menuitemcheckbox"]')) {
            item.setAttribute('aria-checked', M._qv_menu_checked(Number(item.dataset.command)) === 1);
        }
        menu.hidden = false;
        const box = menu.getBoundingClientRect();
        menu.style.left = Math.max(0, Math.min(x, window.innerWidth - box.width)) + 'px';
        menu.style.top = Math.max(0, Math.min(y, window.innerHeight - box.height)) + 'px';
        menuButton.setAttribute('aria-expanded', 'true');
        menu.querySelector('button').focus();
    }
    function closeMenu() {
        if (menu.hidden) return;
        menu.hidden = true;
        menuButton.setAttribute('aria-expanded', 'false');
    }
    menuButton.addEventListener('click', () => {
        wakeSounds();
        if (!M) return;
        if (!menu.hidden) { closeMenu(); return; }
        const box = menuButton.getBoundingClientRect();
        openMenu(box.left, box.bottom);
    });
    menu.addEventListener('click', (event) => {
        const item = event.target.closest('button[data-command]');
        if (!item) return;
        closeMenu();
        menuCommand(Number(item.dataset.command));
    });
    menu.addEventListener('keydown', (event) => {
        const items = [...menu.querySelectorAll('button:not(:disabled)')];
        const at = items.indexOf(document.activeElement);
        if (event.key === 'Escape') { closeMenu(); menuButton.focus(); }
        else if (event.key === 'ArrowDown') items[(at + 1) % items.length].focus();
        else if (event.key === 'ArrowUp') items[(at + items.length - 1) % items.length].focus();
        else return;
        event.preventDefault();
    });
    document.addEventListener('pointerdown', (event) => {
        // The calculator's own handler closes the menu or opens it there.
        if (!event.target.closest('#menu, #menu-button, #calculator')) closeMenu();
    });
    function menuCommand(command) {
        if (command === commandDiscard) {
            discardRoll();
            return;
        }
        // The help document is the site's, not a file of the calculator's folder.
        if (command === commandHelp) {
            openHelp();
            return;
        }
        if (command === commandPaste) {
            pasteFromMenu();
            return;
        }
        M._qv_menu_command(command);
        afterInput();
        paint();
        saveState();
    }
    function ask(text) {
        const dialog = $('question');
        $('question-text').textContent = text;
        return new Promise((resolve) => {
            dialog.addEventListener('close', () => resolve(dialog.returnValue === 'yes'),
                                    {once: true});
            dialog.returnValue = 'no';
            dialog.showModal();
            dialog.querySelector('button[value="no"]').focus();
        });
    }
    async function discardRoll() {
        const lines = M._qv_roll_size();
        if (lines > 0 && !(await ask('Discard the ' + lines + ' printed lines?'))) return;
        M._qv_discard_roll();
        schedule();
    }
    async function openHelp() {
        try {
            const answer = await fetch('Quorvelhelp.pdf', {method: 'HEAD'});
            if (!answer.ok) throw new Error('missing');
            window.open('Quorvelhelp.pdf', '_blank', 'noopener');
        } catch (e) {
            window.alert('Unable to find document');
        }
    }

    // The roll listing beside or below the face, following new lines. It is kept up to
    // date while hidden too, so the roll is in the page for whoever reads it.
    function refreshListing() {
        const listing = $('roll');
        const lines = M.UTF8ToString(M._qv_roll_text()).split('\n');
        lines.pop();
        listing.replaceChildren(...lines.map((line) => {
            const item = document.createElement('li');
            item.textContent = line.trimEnd() || ' ';
            return item;
        }));
        listing.scrollTop = listing.scrollHeight;
    }
    function showListing() {
        const listing = $('listing');
        if (listing.hidden) {
            listing.hidden = false;
            layout();
        }
        refreshListing();
    }
    $('listing-close').addEventListener('click', () => {
        $('listing').hidden = true;
        layout();
    });
    $('listing-discard').addEventListener('click', discardRoll);
    $('listing-print').addEventListener('click', printRoll);
    function printRoll() {
        const area = $('print-area');
        const lines = M.UTF8ToString(M._qv_roll_text()).split('\n');
        lines.pop();
        area.replaceChildren(...lines.map((line) => {
            const row = document.createElement('div');
            row.textContent = line.trimEnd() || ' ';
            return row;
        }));
        window.print();
    }

    const speedDialog = $('speed');
    const speedBars = [$('speed-left'), $('speed-right')];
    function showSpeedDialog() {
        M._qv_speed_open();
        speedBars[0].min = M._qv_speed_value(2);
        speedBars[0].max = M._qv_speed_value(3);
        speedBars[1].min = M._qv_speed_value(4);
        speedBars[1].max = M._qv_speed_value(5);
        showThumbs();
        speedDialog.returnValue = 'cancel';
        speedDialog.showModal();
    }
    function showThumbs() {
        speedBars[0].value = M._qv_speed_value(0);
        speedBars[1].value = M._qv_speed_value(1);
    }
    speedBars.forEach((bar, which) => bar.addEventListener('change', () => {
        M._qv_speed_scroll(which, Number(bar.value));
    }));
    $('speed-default').addEventListener('click', () => {
        M._qv_speed_default();
        showThumbs();
    });
    speedDialog.addEventListener('close', () => {
        M._qv_speed_close(speedDialog.returnValue === 'ok' ? 0 : 1);
        saveState();
    });

    const page = {
        showError: (text) => window.alert(text.replace(/\r/g, '\n')),
        showInformation: (text) => window.alert(text.replace(/\r/g, '\n')),
        confirm: (text) => window.confirm(text.replace(/\r/g, '\n')),
        playSound: playSound,
        showListing: showListing,
        printRoll: printRoll,
        showSpeedDialog: showSpeedDialog,
        openDocument: () => false,
        setClipboardText: setClipboardText,
        downloadText: downloadText,
    };
    function downloadText(name, text) {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(new Blob([text], {type: 'text/plain;charset=utf-8'}));
        link.download = name;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }

    // ------------------------------------------------------------ links that calculate
    function pressLinkedKeys() {
        const match = /^#keys=(.*)$/.exec(location.hash);
        if (!match || !M || stopped) return;
        let names = '';
        try { names = decodeURIComponent(match[1].replace(/\+/g, '%2B')); } catch (e) { return; }
        if (!M.ccall('qv_press_keys', 'number', ['string'], [names])) {
            statusLine.textContent = 'The link names a key the calculator does not have.';
        }
        afterInput();
    }
    window.addEventListener('hashchange', pressLinkedKeys);

    // ------------------------------------------------------------ start-up
    async function fetchBytes(url) {
        const answer = await fetch(url);
        if (!answer.ok) throw new Error(url + ': ' + answer.status);
        return new Uint8Array(await answer.arrayBuffer());
    }
    async function start() {
        const files = Promise.all(dataFiles.map((name) => fetchBytes('files/' + name)));
        const names = loadKeyNames();
        for (const name of soundNames) {
            fetch('sounds/' + name + '.wav').then((answer) => answer.arrayBuffer())
                .then((bytes) => { sounds.bytes[name] = bytes; decodeSound(name); }, () => {});
        }
        const module = await createQuorvel({page: page});
        module.page = page;
        const contents = await files;
        module.FS.mkdir(folder);
        dataFiles.forEach((name, i) => module.FS.writeFile(folder + '/' + name, contents[i]));
        M = module;
        restoreStoredFiles();
        const assembling = performance.now();
        const startedUp = M._qv_start();
        // Where start-up spends its time, for whoever measures the page.
        document.body.dataset.moduleReadyAfter = String(Math.round(assembling));
        document.body.dataset.startUpTook = String(Math.round(performance.now() - assembling));
        if (!startedUp) {
            stopped = true;
            statusLine.textContent = 'The calculator could not start.';
            return;
        }
        for (let i = 0; i < M._qv_damaged_count(); ++i) {
            keepAside(M.UTF8ToString(M._qv_damaged_name(i)));
        }
        width = M._qv_face_width();
        height = M._qv_face_height();
        offscreen.width = width;
        offscreen.height = height;
        await names;
        buildOverlay();
        layout();
        if (statusLine.textContent.startsWith('Loading')) statusLine.textContent = '';
        refreshListing();
        pressLinkedKeys();
        updateSwitchButtons();
        frameScheduled = true;
        frame(performance.now());
    }

    window.addEventListener('resize', layout);
    window.addEventListener('pagehide', saveState);
    // While the power is on the state is stored every few seconds too, in case the page
    // ends without a pagehide (a crash, a killed browser).
    setInterval(() => {
        if (M && !stopped && !document.hidden && M._qv_power_on() === 1) saveState();
    }, 3000);
    document.addEventListener('visibilitychange', () => {
        if (document.visibilityState === 'hidden') saveState();
    });
    start().catch((error) => {
        stopped = true;
        statusLine.textContent = 'The calculator could not start: ' + error.message;
    });
})();
