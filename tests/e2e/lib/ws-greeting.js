// Connects to a WebSocket URL, waits for the given number of messages and prints the
// "type" of each (or "" for an empty frame), one per line. Exits 1 on error or time-out.
const WebSocket = require('ws');
const [url, count, timeoutMs] = process.argv.slice(2);
const types = [];
const ws = new WebSocket(url);
const timer = setTimeout(() => { console.error('timed out after ' + types.length + ' messages'); process.exit(1); }, Number(timeoutMs));
ws.on('message', (data) => {
    const text = data.toString();
    types.push(text.length === 0 ? '' : JSON.parse(text).type);
    if (types.length === Number(count)) {
        clearTimeout(timer);
        console.log(types.join('\n'));
        ws.close();
        process.exit(0);
    }
});
ws.on('error', (e) => { console.error(e.message); process.exit(1); });
