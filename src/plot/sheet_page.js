// The scenario sheet's page: zoom and pan along the kilometre axis, a
// cursor across every panel with what lies there, and a search for
// stations, signals and kilometre readings.
//
// It works on the drawing the program made, unchanged: the profile panels
// are moved into one group that is stretched along x, each small mark and
// text in it is stretched back around its own centre (so it keeps its
// shape), and what belongs to the margins (panel names, value labels,
// frames, legends) is taken out of the stretch. The plan stays as drawn,
// with the stretch in view laid over it.
//
// sheetPage.load(svgMarkup, data) takes a new drawing and its data without
// a reload and keeps the stretch in view (clamped to the new line).
(function () {
  'use strict';

  const MIN_SPAN = 200; // metres: the closest zoom
  const FOUND_SPAN = 4000; // metres shown around what the search found
  const HOVER_PIXELS = 6; // items this close to the cursor are listed
  const MAX_LISTED = 12;
  const MARK_WIDTH = 24; // narrower elements are marks, kept in shape

  let page = null;

  // --- kilometre readings, in the program's own terms ---------------------

  function formatKm(reading) {
    const metres = Math.round(reading);
    const magnitude = Math.abs(metres);
    const rest = String(magnitude % 1000).padStart(3, '0');
    return (metres < 0 ? '-' : '') + Math.floor(magnitude / 1000) + '+' + rest;
  }

  function formatMetres(p) {
    return (Math.round(p * 10) / 10).toLocaleString('en').replace(/,/g, ' ') +
        ' m';
  }

  // Stretches where one offset holds: [start, end, offset], from the
  // line's start (before the first record the reading is the position).
  function stretches(data) {
    const out = [];
    let start = -Infinity;
    let offset = 0;
    for (const [s, o] of data.km) {
      out.push([start, s, offset]);
      start = s;
      offset = o;
    }
    out.push([start, Infinity, offset]);
    return out;
  }

  function readingAt(data, p) {
    let offset = 0;
    for (const [s, o] of data.km) {
      if (p >= s) offset = o;
    }
    return p + offset;
  }

  // The first position along the line with this reading; null if none.
  function positionOfReading(data, reading) {
    const end = data.geometry.to;
    for (const [start, stop, offset] of stretches(data)) {
      const p = reading - offset;
      if (p >= start && p < stop && p >= 0 && p <= end) return p;
    }
    return null;
  }

  // --- the drawing --------------------------------------------------------

  function element(svg, name, attributes) {
    const e = document.createElementNS(svg.namespaceURI, name);
    for (const [k, v] of Object.entries(attributes || {})) {
      e.setAttribute(k, v);
    }
    return e;
  }

  function numberAttribute(e, name) {
    return parseFloat(e.getAttribute(name));
  }

  // The horizontal extent of an element in its parent's coordinates.
  function extentOf(e) {
    const box = e.getBBox();
    const list = e.transform.baseVal;
    const m = list.numberOfItems ? list.consolidate().matrix : null;
    const xs = [];
    for (const [x, y] of [[box.x, box.y], [box.x + box.width, box.y],
      [box.x, box.y + box.height], [box.x + box.width, box.y + box.height]]) {
      xs.push(m ? m.a * x + m.c * y + m.e : x);
    }
    return [Math.min(...xs), Math.max(...xs)];
  }

  // Frames, value lines, the axis line, legends and captions: they stand
  // for the panel, not for a place along the line.
  function belongsToMargin(e, g) {
    const left = g.left;
    const right = g.left + g.axisWidth;
    const near = (a, b) => Math.abs(a - b) < 0.5;
    const tag = e.tagName;
    if (tag === 'rect') {
      return near(numberAttribute(e, 'x'), left) &&
          near(numberAttribute(e, 'width'), g.axisWidth);
    }
    if (tag === 'line') {
      return near(numberAttribute(e, 'x1'), left) &&
          near(numberAttribute(e, 'x2'), right);
    }
    if (tag === 'text' && e.getAttribute('text-anchor') === 'end' &&
        near(numberAttribute(e, 'x'), right)) {
      return true;
    }
    return extentOf(e)[1] <= left + 0.5;
  }

  // What an element inherits from the groups it sits in, so that it draws
  // the same elsewhere.
  function inherited(e, stop) {
    const out = {};
    for (let p = e.parentNode; p && p !== stop; p = p.parentNode) {
      for (const a of p.attributes) {
        if (a.name === 'id' || a.name.startsWith('data-')) continue;
        if (!(a.name in out)) out[a.name] = a.value;
      }
    }
    return out;
  }

  // A mark keeps its shape at any zoom: texts, dots, small symbols and
  // square boxes. A narrow rectangle that is not square is a stretch of
  // line drawn small (a station's stretch on the whole line) and stretches.
  function isMark(e) {
    const tag = e.tagName;
    if (tag === 'text' || tag === 'circle' || tag === 'ellipse') return true;
    if (tag === 'line') return false; // a tick or a level: x alone matters
    if (tag === 'rect') {
      return numberAttribute(e, 'width') === numberAttribute(e, 'height');
    }
    const [x0, x1] = extentOf(e);
    return x1 - x0 < MARK_WIDTH;
  }

  function build(svg, data) {
    const g = data.geometry;
    const kept = new Set(['title', 'plan', 'plan-missing']);
    const moving = Array.from(svg.children).filter(
        (c) => c.tagName === 'g' && !kept.has(c.id));
    const defs = element(svg, 'defs');
    const clip = element(svg, 'clipPath', {id: 'page-clip'});
    clip.appendChild(element(svg, 'rect', {
      x: g.left - 4, y: 0, width: g.axisWidth + 8, height: g.height,
    }));
    defs.appendChild(clip);
    svg.insertBefore(defs, svg.firstChild);
    const clipped = element(svg, 'g', {'clip-path': 'url(#page-clip)'});
    const zoom = element(svg, 'g', {id: 'page-zoom'});
    clipped.appendChild(zoom);
    svg.insertBefore(clipped, moving[0] || null);
    for (const c of moving) zoom.appendChild(c);
    const margin = element(svg, 'g', {id: 'page-margin'});
    svg.appendChild(margin);

    const marks = [];
    const leaves = zoom.querySelectorAll(
        'text, rect, circle, ellipse, line, path, polyline, polygon');
    for (const e of leaves) {
      if (belongsToMargin(e, g)) {
        const wrap = element(svg, 'g', inherited(e, zoom));
        margin.appendChild(wrap);
        wrap.appendChild(e);
        continue;
      }
      if (isMark(e)) {
        const [x0, x1] = extentOf(e);
        marks.push({e, cx: (x0 + x1) / 2, own: e.getAttribute('transform')});
      }
    }

    const overlay = element(svg, 'g', {id: 'page-overlay'});
    const planView = element(svg, 'path', {id: 'page-plan-view'});
    const found = element(svg, 'line', {
      id: 'page-found-mark', y1: g.profilesTop, y2: g.profilesBottom,
      visibility: 'hidden',
    });
    const cursor = element(svg, 'line', {
      id: 'page-cursor', y1: g.planTop, y2: g.height, visibility: 'hidden',
    });
    const selection = element(svg, 'rect', {
      id: 'page-selection', y: g.profilesBottom, height: g.height -
          g.profilesBottom, width: 0, visibility: 'hidden',
    });
    for (const e of [planView, found, cursor, selection]) {
      overlay.appendChild(e);
    }
    svg.appendChild(overlay);

    const items = data.items.map((item) => ({
      item, at: item.position !== null ? item.position : item.span.from,
    })).sort((a, b) => a.at - b.at);

    return {
      svg, data, g, zoom, marks, planView, found, cursor, selection, items,
      view: {from: g.from, to: g.to}, foundAt: null, scale: 1,
      findState: {query: null, index: 0},
    };
  }

  // --- zoom ---------------------------------------------------------------

  function xOf(p) {
    const {g, view} = page;
    return g.left + (p - view.from) / (view.to - view.from) * g.axisWidth;
  }

  function positionOfX(x) {
    const {g, view} = page;
    return view.from + (x - g.left) / g.axisWidth * (view.to - view.from);
  }

  function apply() {
    const {g, view} = page;
    const k = (g.to - g.from) / (view.to - view.from);
    const shift = g.left * (1 - k) -
        (view.from - g.from) * g.axisWidth / (view.to - view.from);
    page.zoom.setAttribute('transform', `matrix(${k} 0 0 1 ${shift} 0)`);
    if (k !== page.scale) {
      for (const m of page.marks) {
        const back = `matrix(${1 / k} 0 0 1 ${m.cx - m.cx / k} 0)`;
        m.e.setAttribute('transform', m.own ? back + ' ' + m.own : back);
      }
      page.scale = k;
    }
    drawPlanView();
    drawFound();
    const readout = document.getElementById('view');
    if (readout) {
      readout.textContent = 'km ' + formatKm(readingAt(page.data, view.from)) +
          ' to km ' + formatKm(readingAt(page.data, view.to));
    }
  }

  function setView(from, to) {
    const {g} = page;
    const whole = g.to - g.from;
    const span = Math.min(whole, Math.max(MIN_SPAN, to - from));
    const start = Math.min(Math.max(from, g.from), g.to - span);
    page.view = {from: start, to: start + span};
    apply();
  }

  function zoomAround(p, factor) {
    const {view} = page;
    const span = (view.to - view.from) * factor;
    const share = (p - view.from) / (view.to - view.from);
    setView(p - share * span, p - share * span + span);
  }

  function pan(metres) {
    setView(page.view.from + metres, page.view.to + metres);
  }

  function drawPlanView() {
    const {g, view, data, planView} = page;
    const whole = view.from <= g.from && view.to >= g.to;
    let d = '';
    let last = null;
    for (const [p, x, y] of data.plan) {
      if (whole || p < view.from || p > view.to) continue;
      d += (last !== null && p - last <= 150 ? ' L' : ' M') + x + ' ' + y;
      last = p;
    }
    planView.setAttribute('d', d.trim());
  }

  function drawFound() {
    const {found, foundAt} = page;
    const inside = foundAt !== null && foundAt >= page.view.from &&
        foundAt <= page.view.to;
    found.setAttribute('visibility', inside ? 'visible' : 'hidden');
    if (inside) {
      found.setAttribute('x1', xOf(foundAt));
      found.setAttribute('x2', xOf(foundAt));
    }
  }

  // --- what lies under the cursor ------------------------------------------

  function profileAt(cell) {
    const profile = page.data.profile;
    let lo = 0;
    let hi = profile.length - 1;
    if (hi < 0 || cell < profile[0][0]) return null;
    while (lo < hi) {
      const mid = (lo + hi + 1) >> 1;
      if (profile[mid][0] <= cell) lo = mid; else hi = mid - 1;
    }
    return profile[lo];
  }

  // Items within tolerance metres of p, nearest first.
  function itemsNear(p, tolerance) {
    const items = page.items;
    let lo = 0;
    let hi = items.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (items[mid].at < p - tolerance - 50) lo = mid + 1; else hi = mid;
    }
    const out = [];
    for (let i = lo; i < items.length && items[i].at <= p + tolerance; ++i) {
      const {item, at} = items[i];
      const to = item.span ? item.span.to : at;
      if (to >= p - tolerance) out.push({item, distance: Math.abs(at - p)});
    }
    return out.sort((a, b) => a.distance - b.distance).map((x) => x.item);
  }

  function fieldsText(fields) {
    return Object.entries(fields).map(([k, v]) =>
      k + ' ' + (typeof v === 'string' ? '"' + v + '"' : v)).join(', ');
  }

  function line(box, className, text) {
    const div = document.createElement('div');
    if (className) div.className = className;
    div.textContent = text;
    box.appendChild(div);
    return div;
  }

  function describe(p, tolerance) {
    const box = document.createElement('div');
    const data = page.data;
    const cell = Math.floor(p / 50);
    line(box, 'where', 'km ' + formatKm(readingAt(data, p)) + ' \u00b7 ' +
        formatMetres(p));
    line(box, '', 'cell ' + cell + ' (' + cell * 50 + '\u2013' +
        (cell + 1) * 50 + ' m)');
    const profile = profileAt(cell);
    if (profile) {
      const [, gradient, limit, inForce, adhesion, mountain] = profile;
      line(box, '', 'gradient ' + gradient + ' \u2030 \u00b7 speed limit ' +
          limit + ' km/h \u00b7 in force ' + inForce + ' km/h' +
          (inForce < limit ? ' (slowdown)' : ''));
      line(box, '', 'adhesion ' + adhesion + ' \u00b7 ' + (mountain === 0 ?
          'no mountain side' : 'mountain side type ' + mountain));
    }
    const near = itemsNear(p, tolerance);
    for (const item of near.slice(0, MAX_LISTED)) {
      const div = line(box, 'item', '');
      const name = document.createElement('b');
      name.textContent = item.name;
      div.appendChild(name);
      const where = item.position !== null ? formatMetres(item.position) :
          item.span.from + '\u2013' + item.span.to + ' m';
      const fields = fieldsText(item.fields);
      div.appendChild(document.createTextNode(' at ' + where + ' (km ' +
          item.km + '), cell ' + item.cell + (fields ? ': ' + fields : '')));
    }
    if (near.length > MAX_LISTED) {
      line(box, '', 'and ' + (near.length - MAX_LISTED) + ' more: zoom in');
    }
    return box;
  }

  function svgPoint(event) {
    const pt = page.svg.createSVGPoint();
    pt.x = event.clientX;
    pt.y = event.clientY;
    return pt.matrixTransform(page.svg.getScreenCTM().inverse());
  }

  function onAxis(pt) {
    const {g} = page;
    return pt.x >= g.left && pt.x <= g.left + g.axisWidth &&
        pt.y >= g.profilesTop && pt.y <= g.height;
  }

  function hideHover() {
    page.cursor.setAttribute('visibility', 'hidden');
    document.getElementById('hover').hidden = true;
  }

  function showHover(event, pt) {
    const p = positionOfX(pt.x);
    page.cursor.setAttribute('x1', pt.x);
    page.cursor.setAttribute('x2', pt.x);
    page.cursor.setAttribute('visibility', 'visible');
    const box = document.getElementById('hover');
    const metresPerUnit = (page.view.to - page.view.from) / page.g.axisWidth;
    const unitsPerPixel = page.svg.getScreenCTM() ?
        1 / page.svg.getScreenCTM().a : 1;
    box.replaceChildren(describe(p, Math.max(25, HOVER_PIXELS *
        unitsPerPixel * metresPerUnit)));
    box.hidden = false;
    const x = event.clientX + 16;
    const y = event.clientY + 16;
    box.style.left = Math.min(x, window.innerWidth - box.offsetWidth - 8) + 'px';
    box.style.top = Math.min(y, window.innerHeight - box.offsetHeight - 8) +
        'px';
  }

  // --- the search -----------------------------------------------------------

  function plain(text) {
    return text.normalize('NFD').replace(/[\u0300-\u036f]/g, '')
        .toLowerCase();
  }

  // What a query names: {position, label}, or {problem}.
  function find(query) {
    const data = page.data;
    const q = query.trim();
    const km = /^(?:km\s*)?(-?)(\d+)\s*\+\s*(\d{1,3})$/i.exec(q);
    if (km) {
      const sign = km[1] ? -1 : 1;
      const reading = sign * (parseInt(km[2], 10) * 1000 + parseInt(km[3], 10));
      const p = positionOfReading(data, reading);
      if (p === null) {
        return {problem: 'no place on the line reads km ' + formatKm(reading)};
      }
      return {position: p, label: 'km ' + formatKm(reading) + ' \u00b7 ' +
          formatMetres(p)};
    }
    const signal = /^(?:signal\s+)(\d+(?:\.\d+)?)\s*m?$/i.exec(q);
    if (signal) {
      const wanted = parseFloat(signal[1]);
      let best = null;
      for (const item of data.items) {
        if (item.name !== 'signal' || item.position === null) continue;
        if (!best || Math.abs(item.position - wanted) <
            Math.abs(best.position - wanted)) {
          best = item;
        }
      }
      if (!best) return {problem: 'the line has no signal'};
      return {position: best.position, label: 'signal at ' +
          formatMetres(best.position) + ' (km ' + best.km + ')'};
    }
    const metres = /^(\d+(?:\.\d+)?)\s*m$/i.exec(q);
    if (metres) {
      const p = parseFloat(metres[1]);
      if (p > data.geometry.to) {
        return {problem: 'the line ends at ' + formatMetres(data.geometry.to)};
      }
      return {position: p, label: formatMetres(p) + ' \u00b7 km ' +
          formatKm(readingAt(data, p))};
    }
    const wanted = plain(q);
    const matches = wanted ? data.stations.filter(
        (s) => plain(s.name).includes(wanted)) : [];
    if (!matches.length) {
      return {problem: 'no station, signal or reading matches \u201c' + q +
          '\u201d (try a station\u2019s name, signal 12000 or 61+000)'};
    }
    const state = page.findState;
    state.index = state.query === wanted ? (state.index + 1) % matches.length : 0;
    state.query = wanted;
    const s = matches[state.index];
    const count = matches.length > 1 ?
        ' (' + (state.index + 1) + ' of ' + matches.length + ')' : '';
    return {position: s.position, label: s.name + ': km ' + s.km + ' \u00b7 ' +
        formatMetres(s.position) + count};
  }

  function goTo(query) {
    const result = find(query);
    const status = document.getElementById('found');
    status.textContent = result.problem || result.label;
    status.classList.toggle('missing', !!result.problem);
    if (result.problem) return result;
    const span = Math.min(page.view.to - page.view.from, FOUND_SPAN);
    page.foundAt = result.position;
    setView(result.position - span / 2, result.position + span / 2);
    return result;
  }

  // --- events ---------------------------------------------------------------

  function listen(svg) {
    let drag = null;
    svg.addEventListener('wheel', (event) => {
      const pt = svgPoint(event);
      if (!onAxis(pt)) return;
      event.preventDefault();
      const unit = event.deltaMode === 1 ? 16 : 1;
      const dx = event.deltaX * unit;
      const dy = event.deltaY * unit;
      if (event.shiftKey || Math.abs(dx) > Math.abs(dy)) {
        const metresPerUnit = (page.view.to - page.view.from) / page.g.axisWidth;
        pan((event.shiftKey ? dy : dx) * metresPerUnit);
      } else {
        zoomAround(positionOfX(pt.x), Math.exp(dy * 0.002));
      }
      showHover(event, pt);
    }, {passive: false});
    svg.addEventListener('mousedown', (event) => {
      const pt = svgPoint(event);
      if (event.button !== 0 || !onAxis(pt)) return;
      event.preventDefault();
      const selecting = pt.y >= page.g.profilesBottom;
      drag = {selecting, x: pt.x, view: page.view};
      if (!selecting) svg.classList.add('panning');
    });
    window.addEventListener('mousemove', (event) => {
      if (!page || page.svg !== svg) return;
      const pt = svgPoint(event);
      if (drag && drag.selecting) {
        const x0 = Math.min(drag.x, pt.x);
        const x1 = Math.max(drag.x, pt.x);
        page.selection.setAttribute('x', Math.max(page.g.left, x0));
        page.selection.setAttribute('width', Math.max(0, Math.min(
            page.g.left + page.g.axisWidth, x1) - Math.max(page.g.left, x0)));
        page.selection.setAttribute('visibility', 'visible');
      } else if (drag) {
        const metresPerUnit = (drag.view.to - drag.view.from) / page.g.axisWidth;
        const shift = (drag.x - pt.x) * metresPerUnit;
        setView(drag.view.from + shift, drag.view.to + shift);
      }
      if (onAxis(pt)) showHover(event, pt); else hideHover();
    });
    window.addEventListener('mouseup', (event) => {
      if (!drag || !page || page.svg !== svg) return;
      const pt = svgPoint(event);
      if (drag.selecting && Math.abs(pt.x - drag.x) > 3) {
        const a = positionOfX(Math.min(drag.x, pt.x));
        const b = positionOfX(Math.max(drag.x, pt.x));
        setView(a, b);
      }
      page.selection.setAttribute('visibility', 'hidden');
      svg.classList.remove('panning');
      drag = null;
    });
    svg.addEventListener('mouseleave', () => {
      if (!drag) hideHover();
    });
  }

  function onKey(event) {
    if (!page || event.target.tagName === 'INPUT') return;
    const {view} = page;
    const middle = (view.from + view.to) / 2;
    const span = view.to - view.from;
    const actions = {
      '+': () => zoomAround(middle, 1 / 1.5),
      '=': () => zoomAround(middle, 1 / 1.5),
      '-': () => zoomAround(middle, 1.5),
      'ArrowLeft': () => pan(-span / 5),
      'ArrowRight': () => pan(span / 5),
      'Home': () => setView(page.g.from, page.g.to),
      '0': () => setView(page.g.from, page.g.to),
      '/': () => document.getElementById('search').focus(),
    };
    const action = actions[event.key];
    if (!action) return;
    event.preventDefault();
    action();
  }

  // --- loading --------------------------------------------------------------

  function load(svgMarkup, data) {
    const holder = document.getElementById('sheet');
    const before = page && page.view;
    if (svgMarkup !== null) holder.innerHTML = svgMarkup;
    const svg = holder.querySelector('svg');
    page = build(svg, data);
    listen(svg);
    if (before) setView(before.from, before.to); else apply();
  }

  function start() {
    const data = JSON.parse(document.getElementById('sheet-data').textContent);
    load(null, data);
    document.addEventListener('keydown', onKey);
    const search = document.getElementById('search');
    search.addEventListener('keydown', (event) => {
      if (event.key === 'Enter') goTo(search.value);
    });
    document.getElementById('whole').addEventListener('click', () => {
      setView(page.g.from, page.g.to);
    });
    document.body.dataset.ready = 'true';
  }

  window.sheetPage = {
    load,
    find: goTo,
    view: () => ({from: page.view.from, to: page.view.to}),
    setView: (from, to) => setView(from, to),
    positionOfReading: (reading) => positionOfReading(page.data, reading),
    // Where a position lies in the drawing's own units, and where the
    // drawing lies on the screen: for checks and tools.
    xOf: (p) => xOf(p),
    geometry: () => page.g,
  };
  start();
})();
